// A TCP server on 127.0.0.1 for the grading tests: a sandboxed submission
// must not reach it. Prints its port, then for SECONDS notes every
// connection it accepts in FILE, one line each.
//
//   vantrel-grading-listener SECONDS FILE

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vantrel-grading-listener SECONDS FILE\n");
        return 2;
    }
    const int server = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (server < 0 || bind(server, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(server, 16) != 0 ||
        getsockname(server, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        std::perror("vantrel-grading-listener");
        return 1;
    }
    std::printf("%d\n", ntohs(address.sin_port));
    std::fflush(stdout);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[1]));
    while (std::chrono::steady_clock::now() < end) {
        pollfd waiting{server, POLLIN, 0};
        if (poll(&waiting, 1, 200) == 1) {
            const int client = accept(server, nullptr, nullptr);
            if (client >= 0) {
                if (std::FILE* file = std::fopen(argv[2], "a")) {
                    std::fprintf(file, "a connection was accepted\n");
                    std::fclose(file);
                }
                close(client);
            }
        }
    }
    close(server);
    return 0;
}
