#include "multipartparser.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr size_t kMaxInMemoryPart = 1 << 20;

std::string lower(std::string text)
{
    std::transform(
        text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The value of attr="value" in a header line.
bool quotedAttribute(const std::string &line, const std::string &attr, std::string *value)
{
    const std::string key = attr + "=\"";
    size_t at = 0;
    while ((at = line.find(key, at)) != std::string::npos) {
        // A whole attribute name only: "name" must not match inside "filename".
        if (at == 0 || line[at - 1] == ' ' || line[at - 1] == ';') {
            const size_t start = at + key.size();
            const size_t end = line.find('"', start);
            if (end == std::string::npos)
                return false;
            *value = line.substr(start, end - start);
            return true;
        }
        at += key.size();
    }
    return false;
}

} // namespace

VaruMultipartParser::VaruMultipartParser(
    const std::string &boundary, std::function<std::string(const Part &)> fileFor)
    : mDelimiter("--" + boundary), mFileFor(std::move(fileFor))
{ }

std::string VaruMultipartParser::boundaryOf(const std::string &contentType)
{
    const std::string key = "boundary=";
    const size_t at = lower(contentType).find(key);
    if (at == std::string::npos)
        return std::string();
    std::string boundary = contentType.substr(at + key.size());
    const size_t end = boundary.find(';');
    if (end != std::string::npos)
        boundary.resize(end);
    if (boundary.size() >= 2 && boundary.front() == '"' && boundary.back() == '"')
        boundary = boundary.substr(1, boundary.size() - 2);
    return boundary;
}

void VaruMultipartParser::beginPart(const std::string &headers)
{
    Part part;
    part.headers = headers;
    size_t start = 0;
    while (start < headers.size()) {
        size_t end = headers.find("\r\n", start);
        if (end == std::string::npos)
            end = headers.size();
        const std::string line = headers.substr(start, end - start);
        if (lower(line).rfind("content-disposition:", 0) == 0) {
            quotedAttribute(line, "name", &part.name);
            part.hasFileName = quotedAttribute(line, "filename", &part.fileName);
        }
        start = end + 2;
    }
    if (part.hasFileName) {
        part.savedPath = mFileFor ? mFileFor(part) : std::string();
        if (!part.savedPath.empty()) {
            mFile = std::make_unique<QFile>(QString::fromStdString(part.savedPath));
            if (!mFile->open(QIODevice::WriteOnly))
                mFile.reset();
        }
        mHash = std::make_unique<QCryptographicHash>(QCryptographicHash::Md5);
    }
    mParts.push_back(part);
}

void VaruMultipartParser::partData(const char *data, size_t size)
{
    if (size == 0 || mParts.empty())
        return;
    Part &part = mParts.back();
    part.size += static_cast<long long>(size);
    if (part.hasFileName) {
        if (mFile)
            mFile->write(data, static_cast<qint64>(size));
        mHash->addData(data, static_cast<int>(size));
    } else if (part.body.size() < kMaxInMemoryPart) {
        part.body.append(data, std::min(size, kMaxInMemoryPart - part.body.size()));
    }
}

void VaruMultipartParser::endPart()
{
    if (!mParts.empty() && mParts.back().hasFileName) {
        mParts.back().md5 = mHash->result().toHex().toUpper().toStdString();
        mFile.reset();
        mHash.reset();
    }
}

bool VaruMultipartParser::feed(const char *data, size_t size)
{
    mBuffer.append(data, size);
    for (;;) {
        switch (mState) {
        case State::Preamble: {
            const size_t at = mBuffer.find(mDelimiter);
            if (at == std::string::npos)
                return true;
            mBuffer.erase(0, at + mDelimiter.size());
            mState = State::AfterDelimiter;
            break;
        }
        case State::AfterDelimiter:
            if (mBuffer.size() < 2)
                return true;
            if (mBuffer.compare(0, 2, "--") == 0) {
                mState = State::Done;
                return true;
            }
            if (mBuffer.compare(0, 2, "\r\n") != 0) {
                mState = State::Error;
                return false;
            }
            mBuffer.erase(0, 2);
            mState = State::Headers;
            break;
        case State::Headers: {
            const size_t end = mBuffer.find("\r\n\r\n");
            if (end == std::string::npos)
                return mBuffer.size() < 64 * 1024;
            beginPart(mBuffer.substr(0, end));
            mBuffer.erase(0, end + 4);
            mState = State::Body;
            break;
        }
        case State::Body: {
            const std::string marker = "\r\n" + mDelimiter;
            const size_t at = mBuffer.find(marker);
            if (at == std::string::npos) {
                // Keep a tail that may hold the start of the marker.
                if (mBuffer.size() > marker.size()) {
                    const size_t flush = mBuffer.size() - marker.size();
                    partData(mBuffer.data(), flush);
                    mBuffer.erase(0, flush);
                }
                return true;
            }
            partData(mBuffer.data(), at);
            endPart();
            mBuffer.erase(0, at + marker.size());
            mState = State::AfterDelimiter;
            break;
        }
        case State::Done:
            return true;
        case State::Error:
            return false;
        }
    }
}
