// Placeholder so a module folder without sources still forms a library.
