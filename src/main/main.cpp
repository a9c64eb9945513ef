#include "main/runs.hpp"

int main(int argc, char** argv) {
  return quorvane::run_main(argc, argv);
}
