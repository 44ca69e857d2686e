#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QString>
#include <QVector>

// Decoding of the service's replies and the mapping of transport failures to the
// client's error codes.
namespace VaruServiceReply {

// What a reply's "code" says: a number, or one of the two words.
struct Code {
    int value = 0;
    bool sessionExpired = false; // "login"
    bool notRegistered = false; // "register"
};

struct UploadReply {
    bool parsed = false; // false: the body is not a JSON object
    Code code;
    QString appName;
    QString rovan;
};

struct StatusEntry {
    QString md5;
    int state = -1;
    int jiagu = 0;
};

// The client error code of a failed transfer: 3 for connection-level errors (1 to 99),
// 2 for server-side errors (401 to 499), 1 for an aborted transfer and anything else.
int transportErrorCode(QNetworkReply::NetworkError error);

// The upload reply; not parsed when the body is not a JSON object.
UploadReply decodeUpload(const QByteArray &body);
// The hardening reply; false when the body is not a JSON object.
bool decodeReinforce(const QByteArray &body, Code *code);
// The status list; false when the body is not a JSON array.
bool decodeStatusList(const QByteArray &body, QVector<StatusEntry> *entries);

} // namespace VaruServiceReply
