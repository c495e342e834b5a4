// open_closed_standard_descriptors: /dev/null in place of a closed standard
// descriptor, so that no file the program opens is mistaken for one.
#include "cli/standard_descriptors.h"

#include <fcntl.h>
#include <unistd.h>

void open_closed_standard_descriptors() {
    for (int fd = 0; fd <= 2; fd++) {
        if (fcntl(fd, F_GETFD) != -1) continue;
        // open returns the lowest free descriptor, which is this one.
        const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened != fd && opened >= 0) {
            dup2(opened, fd);
            close(opened);
        }
    }
}
