#pragma once

#include "appender.h"

#include <QFile>
#include <QMutex>

namespace Log4Qt {

// Writes formatted events to a file; once the file has grown past the maximum size it
// becomes "<file>.1", earlier backups move up by one and the oldest beyond the backup
// count is deleted. A maximum size of 0 never rolls.
class VARULOGGER_EXPORT RollingFileAppender : public Appender
{
public:
    RollingFileAppender(const QString &name, const PatternLayout &layout);
    ~RollingFileAppender() override;

    void setFile(const QString &fileName) { mFileName = fileName; }
    void setAppendFile(bool append) { mAppendFile = append; }
    void setMaximumFileSize(qint64 bytes) { mMaximumFileSize = bytes; }
    void setMaxBackupIndex(int count) { mMaxBackupIndex = count; }
    // Sizes as log4j writes them: "5000KB", "10MB", "1GB" or plain bytes; -1 when invalid.
    static qint64 parseFileSize(const QString &text);

    QString file() const { return mFileName; }
    bool activateOptions() override;
    void append(const LoggingEvent &event) override;
    void close() override;

private:
    bool openFile(QIODevice::OpenMode mode);
    void rollOver();

    PatternLayout mLayout;
    QString mFileName;
    bool mAppendFile = true;
    qint64 mMaximumFileSize = 10 * 1024 * 1024;
    int mMaxBackupIndex = 1;
    QMutex mMutex;
    QFile mFile;
};

} // namespace Log4Qt
