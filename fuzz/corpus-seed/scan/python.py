# [impl->REQ-PY-1]
def f():
    """Docs [doc->REQ-PY-2]
    more [unit->REQ-PY-3]"""
    x = '''one''' # [int->REQ-PY-4]
    s = "# [impl->REQ-STR-1]"
