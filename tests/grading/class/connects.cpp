// Opens a TCP connection to a server on this machine (port filled in by the
// test). Only if that worked does it draw the house.
// canvas.h first: the grader's precompiled header then serves it.
#include "canvas/canvas.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "house.h"

int main(int, char*[]) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(std::atoi("@PORT@")));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected =
        s >= 0 && connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (connected) {
        const char hello[] = "connected from the sandbox\n";
        (void)!write(s, hello, sizeof hello - 1);
    }
    return connected ? drawHouse() : 1;
}
