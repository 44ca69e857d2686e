#pragma once

#include <QCryptographicHash>
#include <QFile>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Parses a multipart/form-data body as it streams in. Small parts are kept in memory;
// a part with a file name is written to a file as it arrives and hashed on the way, so
// that uploads of any size cost little memory.
class VaruMultipartParser
{
public:
    struct Part {
        std::string headers; // the part's header lines as sent
        std::string name;
        std::string fileName;
        bool hasFileName = false;
        std::string body; // parts without a file name
        long long size = 0;
        std::string md5; // upper-case hex, parts with a file name
        std::string savedPath;
    };

    // fileFor gives the path to save a file part to.
    VaruMultipartParser(
        const std::string &boundary, std::function<std::string(const Part &)> fileFor);

    // Feeds the next bytes; false once the body is malformed.
    bool feed(const char *data, size_t size);
    bool finished() const { return mState == State::Done; }
    const std::vector<Part> &parts() const { return mParts; }

    static std::string boundaryOf(const std::string &contentType);

private:
    enum class State { Preamble, AfterDelimiter, Headers, Body, Done, Error };

    void beginPart(const std::string &headers);
    void partData(const char *data, size_t size);
    void endPart();

    std::string mDelimiter;
    std::string mBuffer;
    State mState = State::Preamble;
    std::vector<Part> mParts;
    std::function<std::string(const Part &)> mFileFor;
    std::unique_ptr<QFile> mFile;
    std::unique_ptr<QCryptographicHash> mHash;
};
