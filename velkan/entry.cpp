// The program's entry: MAIN inside the library's start-up bracket.
#include "kelv/ui/startup.h"
#include "velkan/velkan.h"

int main() { return kelv::run_program(velkan::MAIN); }
