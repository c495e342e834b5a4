// Standard input, output and error that the process was started without.
#pragma once

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, before
// anything else is opened.
void open_closed_standard_descriptors();
