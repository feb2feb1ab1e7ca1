#include "artgen.h"
namespace artgen {
void write_interface_pictures(const OutputDirs&) {}
}
