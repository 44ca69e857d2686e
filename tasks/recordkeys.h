#pragma once

#include <QString>

// The keys of a task record's stored JSON form and of the service's replies about it.
namespace VaruRecordKey {
inline const QString appName = QStringLiteral("appName");
inline const QString time = QStringLiteral("time");
inline const QString fileName = QStringLiteral("fileName");
inline const QString filePath = QStringLiteral("filePath");
inline const QString fileSize = QStringLiteral("fileSize");
inline const QString jiagu = QStringLiteral("jiagu");
inline const QString md5 = QStringLiteral("md5");
inline const QString packageName = QStringLiteral("packageName");
inline const QString reinforcedFilePath = QStringLiteral("reinforcedFilePath");
inline const QString state = QStringLiteral("state");
inline const QString status = QStringLiteral("status");
inline const QString edition = QStringLiteral("edition");
inline const QString code = QStringLiteral("code");
inline const QString msg = QStringLiteral("msg");
} // namespace VaruRecordKey
