#include "platform/linux/SpeechdClient.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <pthread.h>
#include <speech-dispatcher/libspeechd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <map>

namespace win {

namespace {

// libspeechd's callbacks carry no user pointer: the server's client number finds the
// client. Guarded by registry_mutex; a callback holds it while it runs, so a client that
// has left the registry gets no more calls.
std::mutex registry_mutex;
std::map<std::size_t, SpeechdClient*>& Registry() {
    static std::map<std::size_t, SpeechdClient*> clients;
    return clients;
}

SPDConnection* Connection(void* connection) {
    return static_cast<SPDConnection*>(connection);
}

std::atomic<int> open_connections{0};

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// 0 Brazilian Portuguese, 1 other Portuguese, 2 anything else.
int PortugueseRank(const std::string& language) {
    std::string l;
    for (char c : language) l += c == '_' ? '-' : Lower(c);
    if (l.rfind("pt", 0) != 0 || (l.size() > 2 && l[2] != '-')) return 2;
    return l.rfind("pt-br", 0) == 0 ? 0 : 1;
}

int Interpolate(long value, long from0, long from1, int to0, int to1) {
    return to0 + static_cast<int>(std::lround(static_cast<double>(value - from0) * (to1 - to0) /
                                              static_cast<double>(from1 - from0)));
}

bool Blank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

// The callbacks run our code on libspeechd's thread, which spd_close cancels: they must
// not be cancelled half-way (with a mutex held or a message half posted).
class NoCancel {
  public:
    NoCancel() { pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, &previous_); }
    ~NoCancel() { pthread_setcancelstate(previous_, nullptr); }

  private:
    int previous_ = 0;
};

void OnBegin(std::size_t message, std::size_t client, SPDNotificationType) {
    NoCancel guard;
    std::lock_guard<std::mutex> lock(registry_mutex);
    auto it = Registry().find(client);
    if (it != Registry().end())
        it->second->Deliver(SpeechdClient::Event::Begin, static_cast<std::uint64_t>(message));
}
void OnEnd(std::size_t message, std::size_t client, SPDNotificationType) {
    NoCancel guard;
    std::lock_guard<std::mutex> lock(registry_mutex);
    auto it = Registry().find(client);
    if (it != Registry().end())
        it->second->Deliver(SpeechdClient::Event::End, static_cast<std::uint64_t>(message));
}
void OnCancel(std::size_t message, std::size_t client, SPDNotificationType) {
    NoCancel guard;
    std::lock_guard<std::mutex> lock(registry_mutex);
    auto it = Registry().find(client);
    if (it != Registry().end())
        it->second->Deliver(SpeechdClient::Event::Cancel, static_cast<std::uint64_t>(message));
}

// A connection of our own to the server's address; -1 when there is none.
int ConnectTo(const SPDConnectionAddress& address) {
    if (address.method == SPD_METHOD_UNIX_SOCKET) {
        if (address.unix_socket_name == nullptr) return -1;
        sockaddr_un where{};
        where.sun_family = AF_UNIX;
        if (std::strlen(address.unix_socket_name) >= sizeof where.sun_path) return -1;
        std::strcpy(where.sun_path, address.unix_socket_name);
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return -1;
        if (connect(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0) return fd;
        close(fd);
        return -1;
    }
    if (address.inet_socket_host == nullptr) return -1;
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(address.inet_socket_port);
    if (getaddrinfo(address.inet_socket_host, port.c_str(), &hints, &found) != 0) return -1;
    int fd = -1;
    for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
        fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd >= 0 && connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    return fd;
}

// The voice list read on a connection of its own; false when it could not be read whole.
bool ReadVoiceList(std::vector<SpeechdVoice>& voices) {
    char* why = nullptr;
    SPDConnectionAddress* address = spd_get_default_address(&why);
    std::free(why);
    if (address == nullptr) return false;
    const int fd = ConnectTo(*address);
    SPDConnectionAddress__free(address);
    if (fd < 0) return false;
    const std::string_view request = "LIST SYNTHESIS_VOICES\r\nQUIT\r\n";
    SpeechdVoiceListReader reader;
    if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
        static_cast<ssize_t>(request.size())) {
        std::vector<char> buffer(1 << 16);
        pollfd ready = {fd, POLLIN, 0};
        // A server that stops answering for this long is taken as gone.
        constexpr int kPatienceMs = 30000;
        while (poll(&ready, 1, kPatienceMs) > 0) {
            const ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
            if (n <= 0 ||
                !reader.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(n))))
                break;
        }
    }
    close(fd);
    if (!reader.Complete()) return false;
    voices = reader.voices();
    return true;
}

}  // namespace

void OrderPortugueseFirst(std::vector<SpeechdVoice>& voices) {
    std::stable_sort(voices.begin(), voices.end(),
                     [](const SpeechdVoice& a, const SpeechdVoice& b) {
                         return PortugueseRank(a.language) < PortugueseRank(b.language);
                     });
}

int SpeechdRateFromSapi5(long rate) {
    return static_cast<int>(std::clamp(rate, -10L, 10L) * 10);
}

int SpeechdRateFromSapi4Speed(std::uint32_t wordsPerMinute) {
    const long wpm = static_cast<std::int32_t>(wordsPerMinute);
    if (wpm <= 80) return -100;
    if (wpm >= 449) return 100;
    return wpm <= 170 ? Interpolate(wpm, 80, 170, -100, 0) : Interpolate(wpm, 170, 449, 0, 100);
}

int SpeechdPitchFromSapi4(std::uint16_t hertz) {
    const long hz = hertz;
    if (hz <= 50) return -100;
    if (hz >= 200) return 100;
    return hz <= 100 ? Interpolate(hz, 50, 100, -100, 0) : Interpolate(hz, 100, 200, 0, 100);
}

std::unique_ptr<SpeechdClient> SpeechdClient::Connect(const char* clientName, std::string* error) {
    char* why = nullptr;
    auto fail = [&](const char* fallback) -> std::unique_ptr<SpeechdClient> {
        if (error) *error = why ? why : fallback;
        std::free(why);
        return nullptr;
    };
    SPDConnectionAddress* address = spd_get_default_address(&why);
    if (address == nullptr) return fail("no speech server address");
    // No autospawn: a missing server is a failure now, not a server started behind our back.
    SPDConnection* connection =
        spd_open2(clientName, "main", nullptr, SPD_MODE_THREADED, address, 0, &why);
    SPDConnectionAddress__free(address);
    if (connection == nullptr) return fail("the speech server refused the connection");
    std::unique_ptr<SpeechdClient> client(new SpeechdClient(connection));
    const int id = spd_get_client_id(connection);
    if (id <= 0) return fail("the speech server gave no client number");
    client->clientId_ = static_cast<std::size_t>(id);
    {
        std::lock_guard<std::mutex> lock(registry_mutex);
        Registry()[client->clientId_] = client.get();
    }
    // A server that went away must not end the program at the next write (unless the
    // program handles SIGPIPE itself).
    struct sigaction previous = {};
    if (sigaction(SIGPIPE, nullptr, &previous) == 0 && previous.sa_handler == SIG_DFL)
        std::signal(SIGPIPE, SIG_IGN);
    if (pipe2(client->stopWatch_, O_CLOEXEC) == 0)
        client->watcher_ = std::thread([c = client.get()] { c->Watch(); });
    connection->callback_begin = &OnBegin;
    connection->callback_end = &OnEnd;
    connection->callback_cancel = &OnCancel;
    if (spd_set_notification_on(connection, SPD_BEGIN) != 0 ||
        spd_set_notification_on(connection, SPD_END) != 0 ||
        spd_set_notification_on(connection, SPD_CANCEL) != 0)
        return fail("the speech server refused its notifications");
    return client;
}

SpeechdClient::SpeechdClient(void* connection) : connection_(connection) {
    ++open_connections;
}

int SpeechdClient::OpenConnections() {
    return open_connections;
}

SpeechdClient::~SpeechdClient() {
    {
        std::lock_guard<std::mutex> lock(registry_mutex);
        auto it = Registry().find(clientId_);
        if (it != Registry().end() && it->second == this) Registry().erase(it);
    }
    if (watcher_.joinable()) {
        const char stop = 0;
        if (write(stopWatch_[1], &stop, 1) < 0) {
        }  // a full pipe wakes the watcher just as well
        watcher_.join();
    }
    for (int fd : stopWatch_)
        if (fd >= 0) close(fd);
    // What was still speaking ends with the connection, as on any other engine.
    if (Busy()) spd_cancel(Connection(connection_));
    spd_close(Connection(connection_));
    --open_connections;
}

void SpeechdClient::SetListener(Listener listener) {
    std::lock_guard<std::mutex> lock(mutex_);
    listener_ = std::move(listener);
}

void SpeechdClient::Deliver(Event event, std::uint64_t message) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (event != Event::Begin && finished_ < sent_) {
        ++finished_;
        if (finished_ == sent_) idle_.notify_all();
    }
    if (listener_) listener_(event, message);
}

std::vector<SpeechdVoice> SpeechdClient::Voices() {
    std::vector<SpeechdVoice> voices;
    if (!ReadVoiceList(voices)) {
        voices.clear();
        if (SPDVoice** list = spd_list_synthesis_voices(Connection(connection_))) {
            for (SPDVoice** v = list; *v != nullptr; ++v) {
                if ((*v)->name == nullptr || (*v)->name[0] == '\0') continue;
                voices.push_back({(*v)->name, (*v)->language ? (*v)->language : "",
                                  (*v)->variant ? (*v)->variant : ""});
            }
            free_spd_voices(list);
        }
    }
    OrderPortugueseFirst(voices);
    return voices;
}

bool SpeechdClient::SelectVoice(const SpeechdVoice& voice) {
    // The language first: setting it afterwards would choose that language's default voice.
    if (!voice.language.empty()) spd_set_language(Connection(connection_), voice.language.c_str());
    return spd_set_synthesis_voice(Connection(connection_), voice.name.c_str()) == 0;
}

bool SpeechdClient::SetRate(int rate) {
    return spd_set_voice_rate(Connection(connection_), std::clamp(rate, -100, 100)) == 0;
}

bool SpeechdClient::SetPitch(int pitch) {
    return spd_set_voice_pitch(Connection(connection_), std::clamp(pitch, -100, 100)) == 0;
}

std::uint64_t SpeechdClient::Speak(std::string_view utf8) {
    // libspeechd never returns from an empty text, and blanks have nothing to say.
    const std::string text(utf8.substr(0, utf8.find('\0')));
    if (Blank(text)) return 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++sent_;
    }
    // Message priority: our texts queue behind each other (text priority would cancel the
    // one speaking). Not under mutex_: the reply comes through libspeechd's thread, which may be in
    // a callback waiting for mutex_.
    const int message = spd_say(Connection(connection_), SPD_MESSAGE, text.c_str());
    if (message > 0) return static_cast<std::uint64_t>(message);
    std::lock_guard<std::mutex> lock(mutex_);
    --sent_;
    if (finished_ == sent_) idle_.notify_all();
    return 0;
}

bool SpeechdClient::Cancel() {
    return spd_cancel(Connection(connection_)) == 0;
}

bool SpeechdClient::ServerGone() {
    // Only asks whether the server hung up; the data are libspeechd's to read.
    pollfd fd = {Connection(connection_)->socket, POLLRDHUP, 0};
    if (poll(&fd, 1, 0) <= 0) return false;
    return (fd.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void SpeechdClient::Watch() {
    // Only hang-ups are asked for: the data are libspeechd's to read.
    pollfd fds[2] = {{Connection(connection_)->socket, POLLRDHUP, 0}, {stopWatch_[0], POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents != 0) return;
        if (fds[0].revents != 0) break;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = sent_;
    idle_.notify_all();
    if (listener_) listener_(Event::Gone, 0);
}

void SpeechdClient::ForgetOutstanding() {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = sent_;
    idle_.notify_all();
}

bool SpeechdClient::Busy() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (finished_ == sent_) return false;
    }
    // A server that went away sends no more ends: nothing is speaking any more.
    if (ServerGone()) ForgetOutstanding();
    std::lock_guard<std::mutex> lock(mutex_);
    return finished_ != sent_;
}

bool SpeechdClient::WaitIdle(std::chrono::milliseconds timeout) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (idle_.wait_for(lock, timeout, [this] { return finished_ == sent_; })) return true;
    }
    return !Busy();
}

}  // namespace win
