// The test kit's show loop, child process and data files.
#include "tests/kit/kit.h"

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "platform/win32.h"

namespace kit {

// The virtual host's player mixes 48000 frames of sound a second.
constexpr long soundRate = 48000;

int PlayShow(qhost::VirtualHost& host, int framesPerSecond, ShowSteps steps) {
    host.recordCalls = false;
    const int slice = static_cast<int>(soundRate / framesPerSecond);
    std::vector<float> sound(static_cast<std::size_t>(2 * slice));  // one buffer for every frame's sound
    host.onFrame = [framesPerSecond, slice, steps = std::move(steps), audio = std::move(sound)](qhost::VirtualHost& h,
                                                                                                int frame) mutable {
        if (steps.look) steps.look(h, frame);
        h.RenderAudio(audio.data(), slice);
        h.clock = static_cast<std::uint32_t>((frame + 1) * 1000L / framesPerSecond);
        if (steps.goOn && !steps.goOn(h, frame)) h.PressKey(VK_ESCAPE);
    };
    return host.Run();
}

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::optional<std::string> InChildProcess(const std::function<std::string()>& work) {
    int fds[2];
    if (pipe(fds) != 0) return std::nullopt;
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return std::nullopt;
    }
    if (child == 0) {
        close(fds[0]);
        _exit(WriteAll(fds[1], work()) ? 0 : 1);
    }
    close(fds[1]);
    std::string bytes;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || n < 0)
        return std::nullopt;
    return bytes;
}

std::vector<std::uint8_t> DataFile(const std::string& name) {
    std::ifstream in(QUENDRALIS_SOURCE_DIR "/data/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace kit
