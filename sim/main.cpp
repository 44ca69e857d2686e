// The local stand-in for the hardening service.
//   varusim [--host H] [--port N] [--data-dir D] [--polls N] [--jiagu N] [--version-text T]
//           [--session UIN:SKEY] [--no-sign] [--fault ENDPOINT=FAULT[:CODE]]...
// ENDPOINT: upload, reinforce, delete, status, download, file, version, applist.
// FAULT: code, 500, 503, 404, invalid-json, json-array, drop, slow, truncate,
//        redirect-invalid, redirect-foreign, no-redirect.
#include "simulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

volatile std::sig_atomic_t gStop = 0;

void onSignal(int)
{
    gStop = 1;
}

bool parseFault(const std::string &text, VaruSimulator &sim)
{
    static const std::map<std::string, VaruSimulator::Endpoint> endpoints = {
        {"upload", VaruSimulator::Endpoint::Upload},
        {"reinforce", VaruSimulator::Endpoint::Reinforce},
        {"delete", VaruSimulator::Endpoint::Delete}, {"status", VaruSimulator::Endpoint::Status},
        {"download", VaruSimulator::Endpoint::Download}, {"file", VaruSimulator::Endpoint::File},
        {"version", VaruSimulator::Endpoint::Version},
        {"applist", VaruSimulator::Endpoint::AppList}};
    static const std::map<std::string, VaruSimulator::Fault> faults
        = {{"code", VaruSimulator::Fault::Code}, {"500", VaruSimulator::Fault::Http500},
            {"503", VaruSimulator::Fault::Http503}, {"404", VaruSimulator::Fault::Http404},
            {"invalid-json", VaruSimulator::Fault::InvalidJson},
            {"json-array", VaruSimulator::Fault::JsonArray}, {"drop", VaruSimulator::Fault::Drop},
            {"slow", VaruSimulator::Fault::SlowBody}, {"truncate", VaruSimulator::Fault::Truncate},
            {"redirect-invalid", VaruSimulator::Fault::RedirectInvalid},
            {"redirect-foreign", VaruSimulator::Fault::RedirectForeign},
            {"no-redirect", VaruSimulator::Fault::NoRedirect}};
    const size_t eq = text.find('=');
    if (eq == std::string::npos)
        return false;
    std::string kind = text.substr(eq + 1);
    std::string code;
    const size_t colon = kind.find(':');
    if (colon != std::string::npos) {
        code = kind.substr(colon + 1);
        kind = kind.substr(0, colon);
    }
    const auto endpoint = endpoints.find(text.substr(0, eq));
    const auto fault = faults.find(kind);
    if (endpoint == endpoints.end() || fault == faults.end())
        return false;
    sim.setFault(endpoint->second, fault->second, code);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::string host = "127.0.0.1";
    int port = 0;
    std::string dataDir
        = (QDir::tempPath() + QStringLiteral("/varusim-%1").arg(QCoreApplication::applicationPid()))
              .toStdString();
    std::vector<std::string> faults;
    int polls = 2;
    int jiagu = 1;
    bool sign = true;
    std::string version = "1.0";
    std::string session;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--host" && hasValue)
            host = argv[++i];
        else if (arg == "--port" && hasValue)
            port = std::atoi(argv[++i]);
        else if (arg == "--data-dir" && hasValue)
            dataDir = argv[++i];
        else if (arg == "--polls" && hasValue)
            polls = std::atoi(argv[++i]);
        else if (arg == "--jiagu" && hasValue)
            jiagu = std::atoi(argv[++i]);
        else if (arg == "--version-text" && hasValue)
            version = argv[++i];
        else if (arg == "--session" && hasValue)
            session = argv[++i];
        else if (arg == "--fault" && hasValue)
            faults.push_back(argv[++i]);
        else if (arg == "--no-sign")
            sign = false;
        else {
            fprintf(stderr, "varusim: unknown argument %s\n", arg.c_str());
            return 2;
        }
    }

    VaruSimulator sim(dataDir);
    sim.setPollsUntilDone(polls);
    sim.setJiagu(jiagu);
    sim.setVersionText(version);
    sim.setSignOutput(sign);
    if (!session.empty()) {
        const size_t colon = session.find(':');
        sim.setSession(session.substr(0, colon),
            colon == std::string::npos ? std::string() : session.substr(colon + 1));
    }
    for (const std::string &fault : faults) {
        if (!parseFault(fault, sim)) {
            fprintf(stderr, "varusim: bad fault %s\n", fault.c_str());
            return 2;
        }
    }
    const int bound = sim.start(host, port);
    if (bound < 0) {
        fprintf(stderr, "varusim: cannot listen on %s:%d\n", host.c_str(), port);
        return 1;
    }
    printf("varusim listening on %s\n", sim.baseUrl().c_str());
    fflush(stdout);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    while (!gStop)
        pause();
    sim.stop();
    return 0;
}
