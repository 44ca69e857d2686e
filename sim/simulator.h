#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

// A stand-in for the hardening service on loopback: it speaks the service's side of every
// exchange, keeps jobs in memory, hardens an APK by returning a changed, newly signed
// copy after a number of status polls, and misbehaves on request so that every failure
// path of the client can be reached over real HTTP.
class VaruSimulator
{
public:
    enum class Endpoint { Upload, Reinforce, Delete, Status, Download, File, Version, AppList };
    enum class Fault {
        None,
        Code, // reply with the given "code" (JSON text: 10001 or "login")
        Http500,
        Http503,
        Http404,
        InvalidJson,
        JsonArray, // a JSON array where an object is expected, or the other way round
        Drop, // close the connection without an answer
        SlowBody, // send the body in small pieces with pauses
        Truncate, // announce the whole body, send half of it, close
        RedirectInvalid, // download: 302 to an address that is not a URL
        RedirectForeign, // download: 302 to another host
        NoRedirect // download: 200 with a body instead of 302
    };

    // What one exchange looked like from the service's side.
    struct Exchange {
        std::string method;
        std::string target; // path and query
        std::string cookieHeader; // the header name as sent, "" when none
        std::string cookie;
        std::string contentType;
        std::vector<std::pair<std::string, std::string>> fields; // form fields in order
        std::vector<std::string> partHeaders; // multipart header blocks
        long long fileBytes = 0; // the uploaded file's size
        std::string fileMd5;
        int status = 0;
    };

    explicit VaruSimulator(const std::string &dataDir);
    ~VaruSimulator();
    VaruSimulator(const VaruSimulator &) = delete;
    VaruSimulator &operator=(const VaruSimulator &) = delete;

    // Starts serving; port 0 picks a free port. Returns the port, or -1.
    int start(const std::string &host = "127.0.0.1", int port = 0);
    void stop();
    int port() const { return mPort; }
    // False once stopped, or after a refusal set with refuseAfter().
    bool isListening() const;
    std::string baseUrl() const;

    void setFault(Endpoint endpoint, Fault fault, const std::string &code = std::string());
    // Clears the faults and any refusal still to come.
    void clearFaults();
    // Once the service has answered the next exchange of this endpoint (upload, hardening
    // request or status poll), it stops accepting connections: the client's next step finds
    // the port closed, until start() on the same port.
    void refuseAfter(Endpoint endpoint);
    // Only this session is accepted; with none set, any non-empty uin and skey are.
    void setSession(const std::string &uin, const std::string &skey);
    // Status polls that report a job still running before it ends.
    void setPollsUntilDone(int polls);
    // The "jiagu" of an ended job: 1 hardened, anything else failed.
    void setJiagu(int jiagu);
    // Report MD5s in lower case in the status list.
    void setLowerCaseStatusMd5(bool lower);
    void setVersionText(const std::string &text);
    void setSlowBodyDelayMs(int ms);
    // Where a foreign redirect points (another simulator, for instance).
    void setForeignBaseUrl(const std::string &url);
    // Signing the hardened copy costs a Java start; tests that do not look at the
    // signature can skip it.
    void setSignOutput(bool sign);
    // A job that is already hardened, as if uploaded and hardened in an earlier session.
    bool addHardenedJob(const std::string &md5, const std::string &apkPath);

    std::vector<Exchange> exchanges() const;
    void clearExchanges();
    // The path of the hardened copy served for md5, or "" while there is none.
    std::string hardenedPath(const std::string &md5) const;
    size_t jobCount() const;

private:
    struct Job {
        std::string md5;
        std::string uploadPath;
        std::string hardenedPath;
        int pollsLeft = 0;
        bool started = false;
    };
    struct Upload {
        std::string path;
        std::string name;
    };

    void route();
    bool sessionOk(const httplib::Request &req, Exchange *exchange) const;
    bool applyFault(Endpoint endpoint, const httplib::Request &req, httplib::Response &res);
    void record(const Exchange &exchange);
    void replyJson(httplib::Response &res, const std::string &json);
    void serveFile(const std::string &path, Fault fault, httplib::Response &res);
    std::string harden(const std::string &md5, const std::string &source);
    bool ensureKeystore();

    std::string mDataDir;
    std::unique_ptr<httplib::Server> mServer;
    std::thread mThread;
    std::string mHost;
    int mPort = -1;

    mutable std::mutex mMutex;
    std::map<Endpoint, std::pair<Fault, std::string>> mFaults;
    std::optional<Endpoint> mRefuseAfter; // the answer after which the port closes
    std::string mUin;
    std::string mSkey;
    int mPollsUntilDone = 2;
    int mJiagu = 1;
    bool mLowerCaseMd5 = false;
    std::string mVersionText = "1.0";
    int mSlowDelayMs = 200;
    std::string mForeignBaseUrl;
    bool mSignOutput = true;
    std::map<std::string, Upload> mUploads; // by upper-case MD5
    std::map<std::string, Job> mJobs;
    std::vector<Exchange> mExchanges;
    long long mCounter = 0;
    std::mutex mKeystoreMutex;
};
