#include "app/ProgramEntry.h"

int main() { return ProgramEntry(); }
