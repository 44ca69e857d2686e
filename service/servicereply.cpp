#include "servicereply.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace VaruServiceReply {

namespace {

Code decodeCode(const QJsonObject &object)
{
    Code code;
    const QJsonValue value = object.value(QStringLiteral("code"));
    if (value.isString()) {
        const QString text = value.toString();
        if (text.compare(QLatin1String("login"), Qt::CaseInsensitive) == 0)
            code.sessionExpired = true;
        else if (text.compare(QLatin1String("register"), Qt::CaseInsensitive) == 0)
            code.notRegistered = true;
        else
            code.value = text.toInt(nullptr, 10); // not a number: 0
    } else {
        code.value = value.toInt();
    }
    return code;
}

} // namespace

int transportErrorCode(QNetworkReply::NetworkError error)
{
    if (error == QNetworkReply::OperationCanceledError)
        return 1; // aborted
    const int number = static_cast<int>(error);
    if (number >= 1 && number <= 99)
        return 3;
    if (number >= 401 && number <= 499)
        return 2;
    return 1;
}

UploadReply decodeUpload(const QByteArray &body)
{
    UploadReply reply;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    // Only an object answers an upload: anything else would read as code 0, a success.
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return reply;
    reply.parsed = true;
    const QJsonObject object = document.object();
    reply.code = decodeCode(object);
    reply.appName = object.value(QStringLiteral("appName")).toString();
    reply.rovan = object.value(QStringLiteral("rovan")).toString();
    return reply;
}

bool decodeReinforce(const QByteArray &body, Code *code)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    *code = decodeCode(document.object());
    return true;
}

bool decodeStatusList(const QByteArray &body, QVector<StatusEntry> *entries)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return false;
    const QJsonArray array = document.array();
    entries->clear();
    entries->reserve(array.size());
    for (const QJsonValue &element : array) {
        const QJsonObject object = element.toObject();
        StatusEntry entry;
        entry.md5 = object.value(QStringLiteral("md5")).toString();
        entry.state = object.value(QStringLiteral("state")).toInt(-1);
        entry.jiagu = object.value(QStringLiteral("jiagu")).toInt();
        entries->append(entry);
    }
    return true;
}

} // namespace VaruServiceReply
