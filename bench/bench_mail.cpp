// Figure: mail throughput. A 16 MiB body goes to a loopback SMTP sink that
// reads and discards, once from QxSmtpMailSender and once from Python's
// smtplib (Debian's python3) sending the same message to the same sink, in
// the same run. The time runs from the start of the connection to the
// server's acceptance of the message; the client's CPU time per MiB is
// reported alongside (the sender's thread for ours, the process for Python).
//
// With --client PORT COUNT BYTES it is instead the client that scripts/bench
// times against real sinks (Postfix's smtp-sink, aiosmtpd) beside msmtp,
// smtplib and smtp-source: it sends COUNT mails of BYTES bytes one after the
// other, each from a new sender, and prints the longest time a sendMail() call
// took (microseconds) and how far the peak resident memory rose above what it
// was once the body was built (bytes), after one small mail that takes the
// one-time costs.
//
// With --attach PORT FILE it sends one message with FILE attached
// (sendMessage(), the file read as the connection takes it) and prints the
// same two figures for it.

#include <lumo/QxMailMessage.h>
#include <lumo/QxSmtpMailSender.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>

#include <arpa/inet.h>
#include <fstream>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <netinet/in.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

constexpr int bodyBytes = 16 * 1024 * 1024;
constexpr double mebibytes = bodyBytes / (1024.0 * 1024.0);

double threadCpuSeconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

double wallSeconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

// A minimal SMTP server on its own thread: it answers every command, reads
// the message to its end marker and throws it away.
class Sink
{
public:
    Sink()
    {
        listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
            || listen(listener, 4) != 0
            || getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            throw std::runtime_error("sink: cannot listen");
        port = ntohs(address.sin_port);
        thread = std::thread([this] { serve(); });
    }

    ~Sink()
    {
        stopping = true;
        shutdown(listener, SHUT_RDWR);
        close(listener);
        thread.join();
    }

    int port = 0;

private:
    void serve()
    {
        while (!stopping) {
            const int connection = accept(listener, nullptr, nullptr);
            if (connection < 0)
                return;
            talk(connection);
            close(connection);
        }
    }

    static void reply(int connection, const char *text)
    {
        send(connection, text, std::strlen(text), MSG_NOSIGNAL);
    }

    void talk(int connection)
    {
        std::string pending;
        std::vector<char> buffer(1 << 20);
        bool inData = false;
        reply(connection, "220 sink\r\n");
        for (;;) {
            const ssize_t got = recv(connection, buffer.data(), buffer.size(), 0);
            if (got <= 0)
                return;
            pending.append(buffer.data(), std::size_t(got));
            for (;;) {
                if (inData) {
                    const std::size_t end = pending.find("\r\n.\r\n");
                    if (end == std::string::npos) {
                        // Keep only what may begin the end marker.
                        if (pending.size() > 4)
                            pending.erase(0, pending.size() - 4);
                        break;
                    }
                    pending.erase(0, end + 5);
                    inData = false;
                    reply(connection, "250 accepted\r\n");
                    continue;
                }
                const std::size_t end = pending.find("\r\n");
                if (end == std::string::npos)
                    break;
                // Commands are case-insensitive: smtplib writes them in lower case.
                std::string command = pending.substr(0, 4);
                for (char &c : command)
                    c = char(std::toupper(static_cast<unsigned char>(c)));
                pending.erase(0, end + 2);
                if (command == "DATA") {
                    inData = true;
                    reply(connection, "354 go ahead\r\n");
                } else if (command == "QUIT") {
                    reply(connection, "221 bye\r\n");
                    return;
                } else {
                    reply(connection, "250 ok\r\n");
                }
            }
        }
    }

    int listener = -1;
    std::atomic<bool> stopping { false };
    std::thread thread;
};

Sink &sink()
{
    static Sink instance;
    return instance;
}

QString body()
{
    const QString line = QString(79, QLatin1Char('x')) + QLatin1Char('\n');
    return line.repeated(bodyBytes / line.size());
}

void ours(benchmark::State &state)
{
    const QString text = body();
    double cpu = 0;
    for (auto _ : state) {
        QPointer<QxSmtpMailSender> sender = new QxSmtpMailSender("127.0.0.1", sink().port);
        QEventLoop loop;
        bool accepted = false;
        QObject::connect(sender, &QxSmtpMailSender::status, &loop, [&](bool success) {
            accepted = success;
            loop.quit();
        });
        const double cpuStart = threadCpuSeconds();
        const double wallStart = wallSeconds();
        sender->sendMail("bench@example.com", "sink@example.com", "bench", text);
        loop.exec();
        state.SetIterationTime(wallSeconds() - wallStart);
        cpu += threadCpuSeconds() - cpuStart;
        if (!accepted)
            state.SkipWithError("the sink did not accept the mail");
        // The sender closes and deletes itself once the sink answers QUIT.
        while (sender)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    state.counters["cpu_ms_per_mib"] = cpu * 1e3 / (mebibytes * state.iterations());
}

void baseline(benchmark::State &state)
{
    const std::string command = std::string("/usr/bin/python3 ") + SMTPLIB_CLIENT + " "
            + std::to_string(sink().port) + " " + std::to_string(bodyBytes);
    double cpu = 0;
    for (auto _ : state) {
        FILE *pipe = popen(command.c_str(), "r");
        double wall = 0, processCpu = 0;
        const int fields = pipe ? std::fscanf(pipe, "%lf %lf", &wall, &processCpu) : 0;
        if (!pipe || pclose(pipe) != 0 || fields != 2) {
            state.SkipWithError("smtplib_client.py failed");
            break;
        }
        state.SetIterationTime(wall);
        cpu += processCpu;
    }
    state.counters["cpu_ms_per_mib"] = cpu * 1e3 / (mebibytes * state.iterations());
}

long residentKiB(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field)));
    }
    return -1;
}

// Sends one mail; returns how long sendMail() took, or a negative number if
// the mail failed.
double sendOne(int port, const QString &text)
{
    QPointer<QxSmtpMailSender> sender = new QxSmtpMailSender("127.0.0.1", port);
    int outcomes = 0;
    bool accepted = false;
    QObject::connect(sender, &QxSmtpMailSender::status, [&](bool success) {
        ++outcomes;
        accepted = success;
    });
    const double start = wallSeconds();
    sender->sendMail("bench@example.com", "sink@example.com", "bench", text);
    const double returned = wallSeconds() - start;
    // After success the sender deletes itself once the sink answers QUIT.
    while (outcomes == 0 || (accepted && sender))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    delete sender.data();
    return accepted ? returned : -1;
}

int client(int port, int count, int bytes)
{
    const QString line = QString(79, QLatin1Char('x')) + QLatin1Char('\n');
    const QString text
            = line.repeated(bytes / line.size()) + QString(bytes % line.size(), QLatin1Char('y'));
    // A first small mail takes Qt's one-time costs (socket engine, time zone)
    // out of the figures, as in a program that has sent mail before.
    if (sendOne(port, line) < 0) {
        std::fprintf(stderr, "bench_mail: the warm-up mail was not accepted\n");
        return 1;
    }
    // Linux resets the peak (VmHWM) to the present size on "5".
    std::ofstream("/proc/self/clear_refs") << "5";
    const long baseKiB = residentKiB("VmRSS:");
    double longestReturn = 0;
    for (int i = 0; i < count; ++i) {
        const double returned = sendOne(port, text);
        if (returned < 0) {
            std::fprintf(stderr, "bench_mail: mail %d was not accepted\n", i);
            return 1;
        }
        longestReturn = std::max(longestReturn, returned);
    }
    std::printf("%.1f %ld\n", longestReturn * 1e6, (residentKiB("VmHWM:") - baseKiB) * 1024);
    return 0;
}

int attach(int port, const char *path)
{
    if (sendOne(port, QStringLiteral("warm-up\n")) < 0) {
        std::fprintf(stderr, "bench_mail: the warm-up mail was not accepted\n");
        return 1;
    }
    QxMailMessage message;
    message.setFrom(QStringLiteral("bench@example.com"));
    message.addTo(QStringLiteral("sink@example.com"));
    message.setSubject(QStringLiteral("bench"));
    message.setText(QStringLiteral("The file is attached."));
    message.addFileAttachment(QString::fromLocal8Bit(path),
                              QStringLiteral("application/octet-stream"));
    std::ofstream("/proc/self/clear_refs") << "5";
    const long baseKiB = residentKiB("VmRSS:");
    QPointer<QxSmtpMailSender> sender = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), port);
    bool accepted = false;
    int outcomes = 0;
    QObject::connect(sender.data(), &QxSmtpMailSender::status, [&](bool success, const QString &) {
        ++outcomes;
        accepted = success;
    });
    const double start = wallSeconds();
    sender->sendMessage(message);
    const double returned = wallSeconds() - start;
    while (outcomes == 0 || (accepted && sender))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    delete sender.data();
    if (!accepted) {
        std::fprintf(stderr, "bench_mail: the message was not accepted\n");
        return 1;
    }
    std::printf("%.1f %ld\n", returned * 1e6, (residentKiB("VmHWM:") - baseKiB) * 1024);
    return 0;
}

} // namespace

BENCHMARK(ours)->Name("mail/ours")->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(baseline)
        ->Name("mail/baseline")
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc == 5 && std::strcmp(argv[1], "--client") == 0)
        return client(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    if (argc == 4 && std::strcmp(argv[1], "--attach") == 0)
        return attach(std::atoi(argv[2]), argv[3]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
