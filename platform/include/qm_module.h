// The folder of the kernel's support files (support/, fonts/, lib/): the
// folder of the loaded module (shared library or program) that contains a
// given address, found with dladdr. The environment variable QM_KERNEL_DIR,
// when set and not empty, takes its place (tests and installs). The result
// ends with '/'; it is empty when the address lies in no loaded module.
#pragma once

#include <string>

std::string qm_module_dir(const void* address_in_module);
