#include "simulator.h"

#include "multipartparser.h"

#include <httplib.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#include <QUrlQuery>

#include <chrono>
#include <cstdio>
#include <fstream>

namespace {

const char *kMultipartMarker = "X-Varu-Content-Type";
const char *kApkType = "application/vnd.android.package-archive";

std::string trim(const std::string &text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string cookieValue(const std::string &cookie, const std::string &name)
{
    size_t start = 0;
    while (start <= cookie.size()) {
        size_t end = cookie.find(';', start);
        if (end == std::string::npos)
            end = cookie.size();
        const std::string item = trim(cookie.substr(start, end - start));
        const size_t eq = item.find('=');
        if (eq != std::string::npos && item.substr(0, eq) == name)
            return item.substr(eq + 1);
        start = end + 1;
    }
    return std::string();
}

std::vector<std::pair<std::string, std::string>> urlEncodedFields(const std::string &body)
{
    std::vector<std::pair<std::string, std::string>> fields;
    const QUrlQuery query(QString::fromUtf8(body.c_str()));
    for (const auto &item : query.queryItems(QUrl::FullyDecoded))
        fields.emplace_back(item.first.toStdString(), item.second.toStdString());
    return fields;
}

std::string field(
    const std::vector<std::pair<std::string, std::string>> &fields, const std::string &name)
{
    for (const auto &item : fields) {
        if (item.first == name)
            return item.second;
    }
    return std::string();
}

std::string upper(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string lower(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string jsonString(const std::string &text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

bool runTool(const QString &program, const QStringList &args, const QString &workDir = QString())
{
    QProcess process;
    if (!workDir.isEmpty())
        process.setWorkingDirectory(workDir);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, args);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

} // namespace

VaruSimulator::VaruSimulator(const std::string &dataDir) : mDataDir(dataDir)
{
    QDir().mkpath(QString::fromStdString(mDataDir));
}

VaruSimulator::~VaruSimulator()
{
    stop();
}

int VaruSimulator::start(const std::string &host, int port)
{
    stop();
    mServer = std::make_unique<httplib::Server>();
    // An idle kept-alive connection holds a worker until this runs out, and stop() waits
    // for every worker: a short wait keeps restarts quick.
    mServer->set_keep_alive_timeout(1);
    route();
    mHost = host;
    if (port == 0) {
        mPort = mServer->bind_to_any_port(host);
    } else {
        mPort = mServer->bind_to_port(host, port) ? port : -1;
    }
    if (mPort <= 0) {
        mServer.reset();
        mPort = -1;
        return -1;
    }
    mThread = std::thread([this] { mServer->listen_after_bind(); });
    // The socket already listens; wait until the accept loop runs so that stop() can end it.
    while (!mServer->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return mPort;
}

void VaruSimulator::stop()
{
    if (mServer) {
        mServer->stop();
        if (mThread.joinable())
            mThread.join();
        mServer.reset();
    }
}

bool VaruSimulator::isListening() const
{
    return mServer && mServer->is_running();
}

std::string VaruSimulator::baseUrl() const
{
    return "http://" + mHost + ":" + std::to_string(mPort);
}

void VaruSimulator::setFault(Endpoint endpoint, Fault fault, const std::string &code)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mFaults[endpoint] = {fault, code};
}

void VaruSimulator::clearFaults()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mFaults.clear();
    mRefuseAfter.reset();
}

void VaruSimulator::refuseAfter(Endpoint endpoint)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mRefuseAfter = endpoint;
}

void VaruSimulator::setSession(const std::string &uin, const std::string &skey)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mUin = uin;
    mSkey = skey;
}

void VaruSimulator::setPollsUntilDone(int polls)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mPollsUntilDone = polls;
}

void VaruSimulator::setJiagu(int jiagu)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mJiagu = jiagu;
}

void VaruSimulator::setLowerCaseStatusMd5(bool lowerCase)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mLowerCaseMd5 = lowerCase;
}

void VaruSimulator::setVersionText(const std::string &text)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mVersionText = text;
}

void VaruSimulator::setSlowBodyDelayMs(int ms)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSlowDelayMs = ms;
}

void VaruSimulator::setForeignBaseUrl(const std::string &url)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mForeignBaseUrl = url;
}

void VaruSimulator::setSignOutput(bool sign)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSignOutput = sign;
}

bool VaruSimulator::addHardenedJob(const std::string &md5, const std::string &apkPath)
{
    const std::string path = harden(upper(md5), apkPath);
    if (path.empty())
        return false;
    std::lock_guard<std::mutex> lock(mMutex);
    Job &job = mJobs[upper(md5)];
    job.md5 = upper(md5);
    job.hardenedPath = path;
    job.started = true;
    return true;
}

std::vector<VaruSimulator::Exchange> VaruSimulator::exchanges() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mExchanges;
}

void VaruSimulator::clearExchanges()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mExchanges.clear();
}

std::string VaruSimulator::hardenedPath(const std::string &md5) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    const auto it = mJobs.find(upper(md5));
    return it == mJobs.end() ? std::string() : it->second.hardenedPath;
}

size_t VaruSimulator::jobCount() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mJobs.size();
}

void VaruSimulator::record(const Exchange &exchange)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mExchanges.push_back(exchange);
    if (getenv("VARU_SIM_ECHO")) {
        std::string fields;
        for (const auto &f : exchange.fields)
            fields += " " + f.first + "=" + f.second.substr(0, 40);
        fprintf(stderr, "varusim: %s %s -> %d cookie[%s]%s\n", exchange.method.c_str(),
            exchange.target.c_str(), exchange.status, exchange.cookie.c_str(), fields.c_str());
    }
}

bool VaruSimulator::sessionOk(const httplib::Request &req, Exchange *exchange) const
{
    for (const auto &header : req.headers) {
        if (lower(header.first) == "cookie") {
            exchange->cookieHeader = header.first;
            exchange->cookie = header.second;
        }
    }
    const std::string uin = cookieValue(exchange->cookie, "uin");
    const std::string skey = cookieValue(exchange->cookie, "skey");
    std::lock_guard<std::mutex> lock(mMutex);
    if (mUin.empty())
        return !uin.empty() && !skey.empty();
    return uin == mUin && skey == mSkey;
}

void VaruSimulator::replyJson(httplib::Response &res, const std::string &json)
{
    res.status = 200;
    res.set_content(json, "application/json");
}

// Applies the endpoint's fault, if any; true when the answer is made.
bool VaruSimulator::applyFault(Endpoint endpoint, const httplib::Request &, httplib::Response &res)
{
    std::pair<Fault, std::string> fault;
    int delay = 0;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        if (mRefuseAfter == endpoint) {
            // The listening socket closes now; this answer is still written afterwards.
            mRefuseAfter.reset();
            mServer->stop();
        }
        const auto it = mFaults.find(endpoint);
        if (it == mFaults.end())
            return false;
        fault = it->second;
        delay = mSlowDelayMs;
    }
    switch (fault.first) {
    case Fault::Code:
        replyJson(res, "{\"code\":" + fault.second + "}");
        return true;
    case Fault::Http500:
        res.status = 500;
        res.set_content("internal error", "text/plain");
        return true;
    case Fault::Http503:
        res.status = 503;
        res.set_content("unavailable", "text/plain");
        return true;
    case Fault::Http404:
        res.status = 404;
        res.set_content("not found", "text/plain");
        return true;
    case Fault::InvalidJson:
        replyJson(res, "{\"code\": 0, \"appName\": ");
        return true;
    case Fault::JsonArray:
        replyJson(res, endpoint == Endpoint::Status ? "{\"code\":0}" : "[1,2]");
        return true;
    case Fault::Drop:
        res.status = 200;
        res.set_content_provider(
            64, "application/json", [](size_t, size_t, httplib::DataSink &) { return false; });
        return true;
    case Fault::SlowBody: {
        const std::string body = endpoint == Endpoint::Status ? "[]" : "{\"code\":0}";
        res.status = 200;
        res.set_content_provider(body.size(), "application/json",
            [body, delay](size_t offset, size_t, httplib::DataSink &sink) {
                std::this_thread::sleep_for(std::chrono::milliseconds(delay));
                sink.write(body.data() + offset, 1);
                return true;
            });
        return true;
    }
    case Fault::Truncate: {
        const std::string body = "{\"code\":0,\"appName\":\"cut\"}";
        res.status = 200;
        res.set_content_provider(body.size(), "application/json",
            [body](size_t offset, size_t, httplib::DataSink &sink) {
                if (offset > 0)
                    return false;
                sink.write(body.data(), body.size() / 2);
                return true;
            });
        return true;
    }
    default:
        return false;
    }
}

void VaruSimulator::serveFile(const std::string &path, Fault fault, httplib::Response &res)
{
    auto stream = std::make_shared<std::ifstream>(path, std::ios::binary);
    if (!*stream) {
        res.status = 404;
        return;
    }
    const size_t size = static_cast<size_t>(QFileInfo(QString::fromStdString(path)).size());
    int delay = 0;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        delay = mSlowDelayMs;
    }
    res.status = 200;
    res.set_content_provider(size, kApkType,
        [stream, size, fault, delay](size_t offset, size_t length, httplib::DataSink &sink) {
            if (fault == Fault::Drop || (fault == Fault::Truncate && offset >= size / 2))
                return false;
            size_t chunk = std::min<size_t>(length, 64 * 1024);
            if (fault == Fault::SlowBody) {
                std::this_thread::sleep_for(std::chrono::milliseconds(delay));
                chunk = std::min<size_t>(chunk, 4096);
            }
            if (fault == Fault::Truncate)
                chunk = std::min(chunk, size / 2 - offset);
            std::vector<char> buffer(chunk);
            stream->seekg(static_cast<std::streamoff>(offset));
            stream->read(buffer.data(), static_cast<std::streamsize>(chunk));
            const auto got = static_cast<size_t>(stream->gcount());
            return got > 0 && sink.write(buffer.data(), got);
        });
}

bool VaruSimulator::ensureKeystore()
{
    const QString keystore
        = QDir(QString::fromStdString(mDataDir)).filePath(QStringLiteral("simulator.keystore"));
    if (QFileInfo::exists(keystore))
        return true;
    return runTool(QStringLiteral("keytool"),
        {QStringLiteral("-genkeypair"), QStringLiteral("-keystore"), keystore,
            QStringLiteral("-storetype"), QStringLiteral("JKS"), QStringLiteral("-storepass"),
            QStringLiteral("simulator"), QStringLiteral("-keypass"), QStringLiteral("simulator"),
            QStringLiteral("-alias"), QStringLiteral("service"), QStringLiteral("-keyalg"),
            QStringLiteral("RSA"), QStringLiteral("-keysize"), QStringLiteral("2048"),
            QStringLiteral("-validity"), QStringLiteral("3650"), QStringLiteral("-dname"),
            QStringLiteral("CN=Hardening Service")});
}

// The hardened copy: the upload without its signature, with a shell file added, signed
// with the service's own key as the real service signs its output.
std::string VaruSimulator::harden(const std::string &md5, const std::string &source)
{
    const QDir data(QString::fromStdString(mDataDir));
    data.mkpath(QStringLiteral("hardened"));
    const QString out
        = data.filePath(QStringLiteral("hardened/%1.apk").arg(QString::fromStdString(md5)));
    QFile::remove(out);
    if (!QFile::copy(QString::fromStdString(source), out))
        return std::string();
    QFile::setPermissions(out, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QString work = data.filePath(QStringLiteral("work-%1").arg(QString::fromStdString(md5)));
    QDir(work).mkpath(QStringLiteral("assets"));
    QFile shell(QDir(work).filePath(QStringLiteral("assets/varu_shell.dat")));
    if (!shell.open(QIODevice::WriteOnly))
        return std::string();
    shell.write("hardened by the service simulator for " + QByteArray::fromStdString(md5) + "\n");
    shell.close();
    runTool(QStringLiteral("zip"),
        {QStringLiteral("-q"), QStringLiteral("-d"), out, QStringLiteral("META-INF/*")});
    const bool added = runTool(QStringLiteral("zip"),
        {QStringLiteral("-q"), out, QStringLiteral("assets/varu_shell.dat")}, work);
    QDir(work).removeRecursively();
    if (!added)
        return std::string();
    bool sign = true;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        sign = mSignOutput;
    }
    if (sign) {
        std::lock_guard<std::mutex> keystoreLock(mKeystoreMutex);
        const QString keystore = data.filePath(QStringLiteral("simulator.keystore"));
        if (!ensureKeystore()
            || !runTool(QStringLiteral("jarsigner"),
                {QStringLiteral("-keystore"), keystore, QStringLiteral("-storepass"),
                    QStringLiteral("simulator"), QStringLiteral("-keypass"),
                    QStringLiteral("simulator"), out, QStringLiteral("service")}))
            return std::string();
    }
    return out.toStdString();
}

void VaruSimulator::route()
{
    httplib::Server &server = *mServer;

    // Multipart bodies are read raw, so that each part's headers can be recorded as sent.
    server.set_pre_routing_handler([](const httplib::Request &req, httplib::Response &) {
        const std::string type = req.get_header_value("Content-Type");
        if (lower(type).rfind("multipart/form-data", 0) == 0) {
            auto &headers = const_cast<httplib::Request &>(req).headers;
            headers.erase("Content-Type");
            headers.emplace("Content-Type", "application/octet-stream");
            headers.emplace(kMultipartMarker, type);
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });

    server.Post("/data/upload",
        [this](const httplib::Request &req, httplib::Response &res,
            const httplib::ContentReader &reader) {
            Exchange exchange;
            exchange.method = "POST";
            exchange.target = req.target;
            exchange.contentType = req.get_header_value(kMultipartMarker);
            const bool session = sessionOk(req, &exchange);
            long long id = 0;
            {
                std::lock_guard<std::mutex> lock(mMutex);
                id = ++mCounter;
            }
            QDir(QString::fromStdString(mDataDir)).mkpath(QStringLiteral("uploads"));
            VaruMultipartParser parser(VaruMultipartParser::boundaryOf(exchange.contentType),
                [this, id](const VaruMultipartParser::Part &) {
                    return mDataDir + "/uploads/" + std::to_string(id) + ".apk";
                });
            reader([&parser](const char *data, size_t size) {
                parser.feed(data, size);
                return true;
            });
            std::string upload;
            for (const auto &part : parser.parts()) {
                exchange.partHeaders.push_back(part.headers);
                exchange.fields.emplace_back(
                    part.name, part.hasFileName ? part.fileName : part.body);
                if (part.hasFileName) {
                    exchange.fileBytes = part.size;
                    exchange.fileMd5 = part.md5;
                    upload = part.savedPath;
                }
            }
            if (!applyFault(Endpoint::Upload, req, res)) {
                if (!session) {
                    replyJson(res, "{\"code\":\"login\"}");
                } else if (!parser.finished() || upload.empty()) {
                    replyJson(res, "{\"code\":10010}");
                } else {
                    {
                        std::lock_guard<std::mutex> lock(mMutex);
                        mUploads[exchange.fileMd5] = {upload, field(exchange.fields, "name")};
                    }
                    replyJson(res,
                        "{\"code\":0,\"appName\":" + jsonString("app-" + std::to_string(id))
                            + ",\"rovan\":" + jsonString("rovan-" + std::to_string(id)) + "}");
                }
            }
            exchange.status = res.status;
            record(exchange);
        });

    server.Post("/data/serve",
        [this](const httplib::Request &req, httplib::Response &res,
            const httplib::ContentReader &reader) {
            Exchange exchange;
            exchange.method = "POST";
            exchange.target = req.target;
            const bool session = sessionOk(req, &exchange);
            std::string body;
            reader([&body](const char *data, size_t size) {
                body.append(data, size);
                return body.size() < (1 << 20);
            });
            const std::string multipartType = req.get_header_value(kMultipartMarker);
            if (!multipartType.empty()) {
                exchange.contentType = multipartType;
                VaruMultipartParser parser(VaruMultipartParser::boundaryOf(multipartType), nullptr);
                parser.feed(body.data(), body.size());
                for (const auto &part : parser.parts()) {
                    exchange.partHeaders.push_back(part.headers);
                    exchange.fields.emplace_back(part.name, part.body);
                }
            } else {
                exchange.contentType = req.get_header_value("Content-Type");
                exchange.fields = urlEncodedFields(body);
            }
            const std::string flag = field(exchange.fields, "flag");
            const std::string md5 = upper(field(exchange.fields, "md5"));
            if (flag == "appDel") {
                if (!applyFault(Endpoint::Delete, req, res)) {
                    if (!session) {
                        replyJson(res, "{\"code\":\"login\"}");
                    } else {
                        std::lock_guard<std::mutex> lock(mMutex);
                        mJobs.erase(md5);
                        mUploads.erase(md5);
                        replyJson(res, "{\"code\":0}");
                    }
                }
            } else if (!applyFault(Endpoint::Reinforce, req, res)) {
                std::string source;
                int polls = 0;
                {
                    std::lock_guard<std::mutex> lock(mMutex);
                    const auto it = mUploads.find(md5);
                    if (it != mUploads.end())
                        source = it->second.path;
                    polls = mPollsUntilDone;
                }
                if (!session) {
                    replyJson(res, "{\"code\":\"login\"}");
                } else if (flag != "serveBox" || source.empty()) {
                    replyJson(res, "{\"code\":10002}");
                } else {
                    const std::string hardened = harden(md5, source);
                    std::lock_guard<std::mutex> lock(mMutex);
                    Job &job = mJobs[md5];
                    job.md5 = md5;
                    job.uploadPath = source;
                    job.hardenedPath = hardened;
                    job.pollsLeft = polls;
                    job.started = true;
                    replyJson(res, hardened.empty() ? "{\"code\":10003}" : "{\"code\":0}");
                }
            }
            exchange.status = res.status;
            record(exchange);
        });

    server.Post("/myapp/index", [this](const httplib::Request &req, httplib::Response &res) {
        Exchange exchange;
        exchange.method = "POST";
        exchange.target = req.target;
        exchange.contentType = req.get_header_value("Content-Type");
        exchange.fields = urlEncodedFields(req.body);
        const bool session = sessionOk(req, &exchange);
        if (!applyFault(Endpoint::Status, req, res)) {
            if (!session) {
                replyJson(res, "{\"code\":\"login\"}");
            } else {
                std::lock_guard<std::mutex> lock(mMutex);
                std::string list = "[";
                for (auto &entry : mJobs) {
                    Job &job = entry.second;
                    const bool running = job.pollsLeft > 0;
                    if (running)
                        --job.pollsLeft;
                    if (list.size() > 1)
                        list += ",";
                    list += "{\"md5\":" + jsonString(mLowerCaseMd5 ? lower(job.md5) : job.md5)
                        + ",\"state\":" + (running ? "1" : "0")
                        + ",\"jiagu\":" + std::to_string(mJiagu) + "}";
                }
                list += "]";
                res.status = 200;
                res.set_content(list, "application/json");
            }
        }
        exchange.status = res.status;
        record(exchange);
    });

    server.Get("/data/download", [this](const httplib::Request &req, httplib::Response &res) {
        Exchange exchange;
        exchange.method = "GET";
        exchange.target = req.target;
        const bool session = sessionOk(req, &exchange);
        const std::string md5 = upper(req.get_param_value("id"));
        std::pair<Fault, std::string> fault;
        std::string hardened;
        std::string foreign;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            const auto it = mFaults.find(Endpoint::Download);
            if (it != mFaults.end())
                fault = it->second;
            const auto job = mJobs.find(md5);
            if (job != mJobs.end())
                hardened = job->second.hardenedPath;
            foreign = mForeignBaseUrl;
        }
        if (!session) {
            res.status = 403;
        } else if (fault.first == Fault::RedirectInvalid) {
            res.status = 302;
            res.set_header("Location", "http://[::bad");
        } else if (fault.first == Fault::RedirectForeign) {
            res.status = 302;
            res.set_header("Location", foreign + "/files/" + md5 + ".apk");
        } else if (fault.first == Fault::NoRedirect) {
            res.status = 200;
            res.set_content("this is not a redirect", "text/plain");
        } else if (!applyFault(Endpoint::Download, req, res)) {
            if (hardened.empty()) {
                res.status = 404;
            } else {
                res.status = 302;
                res.set_header("Location", baseUrl() + "/files/" + md5 + ".apk");
                res.set_content("redirecting", "text/plain");
            }
        }
        exchange.status = res.status;
        record(exchange);
    });

    server.Get(R"(/files/([0-9A-Za-z]+)\.apk)",
        [this](const httplib::Request &req, httplib::Response &res) {
            Exchange exchange;
            exchange.method = "GET";
            exchange.target = req.target;
            sessionOk(req, &exchange); // the file itself needs no session; the cookie is recorded
            const std::string md5 = upper(req.matches[1]);
            std::string hardened;
            Fault fault = Fault::None;
            {
                std::lock_guard<std::mutex> lock(mMutex);
                const auto job = mJobs.find(md5);
                if (job != mJobs.end())
                    hardened = job->second.hardenedPath;
                const auto it = mFaults.find(Endpoint::File);
                if (it != mFaults.end())
                    fault = it->second.first;
            }
            if (hardened.empty())
                res.status = 404;
            else if (fault == Fault::Http500 || fault == Fault::Http503 || fault == Fault::Http404)
                applyFault(Endpoint::File, req, res);
            else
                serveFile(hardened, fault, res);
            exchange.status = res.status;
            record(exchange);
        });

    server.Get("/index/pcVersion", [this](const httplib::Request &req, httplib::Response &res) {
        Exchange exchange;
        exchange.method = "GET";
        exchange.target = req.target;
        sessionOk(req, &exchange);
        if (!applyFault(Endpoint::Version, req, res)) {
            std::lock_guard<std::mutex> lock(mMutex);
            res.status = 200;
            res.set_content(mVersionText, "text/plain");
        }
        exchange.status = res.status;
        record(exchange);
    });

    // The maker's web sign-in: a form whose button sets the session cookies.
    server.Get("/login", [](const httplib::Request &, httplib::Response &res) {
        res.set_content(
            "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Sign in</title></head>"
            "<body style=\"font-family: sans-serif; text-align: center; padding-top: 80px\">"
            "<h2>Kestrin Cloud</h2><form method=\"post\" action=\"/login\">"
            "<p><input id=\"uin\" name=\"uin\" value=\"o100086\"></p>"
            "<p><button id=\"signin\" type=\"submit\">Sign in</button></p></form></body></html>",
            "text/html; charset=utf-8");
    });
    server.Post("/login", [this](const httplib::Request &req, httplib::Response &res) {
        std::string uin = field(urlEncodedFields(req.body), "uin");
        if (uin.empty())
            uin = "o100086";
        std::string skey;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            skey = mSkey.empty() ? "@sim" + std::to_string(++mCounter) : mSkey;
        }
        res.status = 302;
        res.headers.emplace("Set-Cookie", "uin=" + uin + "; Path=/");
        res.headers.emplace("Set-Cookie", "skey=" + skey + "; Path=/");
        res.set_header("Location", "/login/done");
    });
    for (const char *page : {"/login/done", "/developerCenter/registUser.php", "/varu/tool/index",
             "/ms/reinforce/list", "/developer/article/1154610", "/developer/user/1228367"}) {
        server.Get(page, [page](const httplib::Request &, httplib::Response &res) {
            res.set_content(
                std::string("<!DOCTYPE html><html><body><p>") + page + "</p></body></html>",
                "text/html; charset=utf-8");
        });
    }

    server.Get(
        "/myapplication/getAppList", [this](const httplib::Request &req, httplib::Response &res) {
            Exchange exchange;
            exchange.method = "GET";
            exchange.target = req.target;
            const bool session = sessionOk(req, &exchange);
            if (!applyFault(Endpoint::AppList, req, res)) {
                res.status = 200;
                if (session)
                    res.set_content("{\"code\":0,\"data\":[]}", "application/json");
            }
            exchange.status = res.status;
            record(exchange);
        });
}
