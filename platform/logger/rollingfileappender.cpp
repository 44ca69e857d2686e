#include "rollingfileappender.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>

namespace Log4Qt {

RollingFileAppender::RollingFileAppender(const QString &name, const PatternLayout &layout)
    : Appender(name), mLayout(layout)
{ }

RollingFileAppender::~RollingFileAppender()
{
    close();
}

qint64 RollingFileAppender::parseFileSize(const QString &text)
{
    QString digits = text.trimmed().toUpper();
    qint64 factor = 1;
    if (digits.endsWith(QLatin1String("KB"))) {
        factor = 1024;
    } else if (digits.endsWith(QLatin1String("MB"))) {
        factor = 1024 * 1024;
    } else if (digits.endsWith(QLatin1String("GB"))) {
        factor = 1024LL * 1024 * 1024;
    }
    if (factor != 1)
        digits.chop(2);
    bool ok = false;
    const qint64 value = digits.trimmed().toLongLong(&ok);
    return ok && value >= 0 ? value * factor : -1;
}

bool RollingFileAppender::openFile(QIODevice::OpenMode mode)
{
    const QFileInfo info(mFileName);
    // A missing log folder is created; the log is often the first thing to use it.
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    mFile.setFileName(mFileName);
    return mFile.open(mode | QIODevice::WriteOnly);
}

bool RollingFileAppender::activateOptions()
{
    QMutexLocker lock(&mMutex);
    if (mFile.isOpen())
        mFile.close();
    if (mFileName.isEmpty())
        return false;
    return openFile(mAppendFile ? QIODevice::Append : QIODevice::Truncate);
}

void RollingFileAppender::rollOver()
{
    mFile.close();
    if (mMaxBackupIndex > 0) {
        QFile::remove(mFileName + QLatin1Char('.') + QString::number(mMaxBackupIndex));
        for (int i = mMaxBackupIndex - 1; i >= 1; --i) {
            const QString from = mFileName + QLatin1Char('.') + QString::number(i);
            if (QFile::exists(from))
                QFile::rename(from, mFileName + QLatin1Char('.') + QString::number(i + 1));
        }
        QFile::rename(mFileName, mFileName + QLatin1String(".1"));
    }
    openFile(QIODevice::Truncate);
}

void RollingFileAppender::append(const LoggingEvent &event)
{
    const QByteArray line = mLayout.format(event).toUtf8();
    QMutexLocker lock(&mMutex);
    if (!mFile.isOpen())
        return;
    // One write per line, under the lock, so lines of concurrent writers never mix.
    mFile.write(line);
    mFile.flush();
    if (mMaximumFileSize > 0 && mFile.size() > mMaximumFileSize)
        rollOver();
}

void RollingFileAppender::close()
{
    QMutexLocker lock(&mMutex);
    if (mFile.isOpen())
        mFile.close();
}

} // namespace Log4Qt
