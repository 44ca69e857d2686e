#include "packtool.h"

#include "binaryxml.h"
#include "signtool.h"
#include "task.h"
#include "zip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QString kManifest = QStringLiteral("AndroidManifest.xml");
const QString kApkSuffix = QStringLiteral(".apk");
// The longest file name the file systems the outputs go to take, in bytes.
constexpr int kLongestFileName = 255;

// A channel may hold any text; in a file name, characters that would leave the folder
// or that file systems refuse become "_".
QString fileNamePart(const QString &channel)
{
    QString part = channel;
    for (QChar &c : part) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':')
            || c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('"')
            || c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('|')
            || c.unicode() < 0x20)
            c = QLatin1Char('_');
    }
    return part;
}

} // namespace

VaruPackTool::VaruPackTool(QObject *parent) : QObject(parent), mSigner(new VaruSignTool(this)) { }

QString VaruPackTool::errorText(int code)
{
    switch (code) {
    case NoError:
        return QStringLiteral("打包成功:)");
    case Busy:
        return QStringLiteral("正在打包中，请稍候再试...");
    case BadArguments:
        return QStringLiteral("参数错误");
    case -3:
    case -4:
        return QStringLiteral("签名工具异常");
    case ChannelConfig:
        return QStringLiteral("渠道信息配置错误");
    case CannotOpenApk:
        return QStringLiteral("无法打开APK文件");
    case KeyMissing:
        return QStringLiteral("android name配置错误");
    case SignFailed:
        return QStringLiteral("签名失败");
    default:
        return QStringLiteral("打包失败:(");
    }
}

void VaruPackTool::disposeWhenIdle()
{
    if (!mBusy) {
        delete this;
        return;
    }
    setParent(nullptr);
    mDisposeWhenIdle = true;
}

bool VaruPackTool::parseChannels(const QString &params, QStringList *channels)
{
    channels->clear();
    const int last = params.lastIndexOf(QLatin1Char(';'));
    if (last < 0)
        return false;
    // One pass over the text: a list of thousands of channels costs no more than its length.
    const QStringList listed = params.left(last).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    channels->reserve(listed.size());
    for (auto it = listed.crbegin(); it != listed.crend(); ++it)
        channels->append(*it);
    return true;
}

int VaruPackTool::pack(const QString &apkPath, const QString &androidName, const QString &params,
    const QString &outputDir)
{
    return start(apkPath, androidName, params, outputDir, Signing());
}

int VaruPackTool::packAndSign(const QString &apkPath, const QString &androidName,
    const QString &params, const QString &outputDir, const QString &keystorePath,
    const QString &keystorePass, const QString &alias, const QString &aliasPass)
{
    return start(apkPath, androidName, params, outputDir,
        Signing{true, keystorePath, keystorePass, alias, aliasPass});
}

void VaruPackTool::report(bool signing, const QString &apkPath, const QString &outputDir, int code)
{
    if (signing)
        emit sigApkPackSignCallback(apkPath, outputDir, code, errorText(code));
    else
        emit sigApkPackCallback(apkPath, outputDir, code, errorText(code));
}

int VaruPackTool::start(const QString &apkPath, const QString &androidName, const QString &params,
    const QString &outputDir, const Signing &signing)
{
    if (mBusy) {
        mErrorCode = Busy;
        report(signing.enabled, apkPath, outputDir, Busy);
        return Busy;
    }
    mErrorCode = NoError;
    const bool signingIncomplete = signing.enabled
        && (signing.keystorePath.isEmpty() || signing.keystorePass.isEmpty()
            || signing.alias.isEmpty() || signing.aliasPass.isEmpty());
    if (apkPath.isEmpty() || androidName.isEmpty() || params.isEmpty() || outputDir.isEmpty()
        || signingIncomplete) {
        mErrorCode = BadArguments;
        return BadArguments;
    }
    mOutputDir = outputDir;
    if (!QFileInfo::exists(apkPath)) {
        mErrorCode = CannotOpenApk;
        report(signing.enabled, apkPath, outputDir, CannotOpenApk);
        return CannotOpenApk;
    }
    mBusy = true;
    Task::run([=]() {
        return work(apkPath, androidName, params, outputDir, signing);
    })->then(this, [this, apkPath, outputDir, signing](int result) {
        mErrorCode = result;
        mBusy = false;
        report(signing.enabled, apkPath, outputDir, result);
    });
    return NoError;
}

int VaruPackTool::work(const QString &apkPath, const QString &androidName, const QString &params,
    const QString &outputDir, const Signing &signing)
{
    mErrorCode = NoError;
    mApkPath = apkPath;
    const QString name = QFileInfo(apkPath).fileName();
    const QString base = name.left(name.size() - 4);
    // Early failures are reported from here at once; the completion reports them again.
    auto fail = [&](int code) {
        mErrorCode = code;
        report(signing.enabled, apkPath, outputDir, code);
        return code;
    };

    if (!parseChannels(params, &mChannels))
        return fail(ChannelConfig);
    // Every output name must be one the file system takes, before any output is made.
    const QString signedSuffix = signing.enabled ? QStringLiteral("_signed_zipalign") : QString();
    for (const QString &channel : qAsConst(mChannels)) {
        const QString longest
            = base + QLatin1Char('_') + fileNamePart(channel) + signedSuffix + kApkSuffix;
        if (QFile::encodeName(longest).size() > kLongestFileName)
            return fail(ChannelConfig);
    }

    // The manifest is extracted once, into a folder of this run's own.
    QTemporaryDir work;
    if (!work.isValid())
        return fail(PackFailed);
    VaruZip::instance()->unzip(apkPath, kManifest, work.path());
    const QString original = work.filePath(kManifest + QStringLiteral(".original"));
    if (!QFile::rename(work.filePath(kManifest), original))
        return fail(CannotOpenApk);
    QFile mapped(original);
    if (!mapped.open(QIODevice::ReadOnly))
        return fail(CannotOpenApk);
    uchar *map = mapped.size() > 0 ? mapped.map(0, mapped.size()) : nullptr;
    if (!map)
        return fail(PackFailed);
    const QByteArray manifest
        = QByteArray::fromRawData(reinterpret_cast<const char *>(map), int(mapped.size()));

    const int found = VaruBinaryXml::findKey(manifest, androidName);
    if (found != VaruBinaryXml::Ok)
        return fail(found == VaruBinaryXml::KeyMissing ? KeyMissing : PackFailed);

    const QString manifestCopy = work.filePath(kManifest);
    for (const QString &channel : qAsConst(mChannels)) {
        const QString out = QDir::cleanPath(
            outputDir + mSeparator + base + QLatin1Char('_') + fileNamePart(channel) + kApkSuffix);
        QByteArray rewritten;
        const int written = VaruBinaryXml::writeChannel(manifest, androidName, channel, &rewritten);
        if (written != VaruBinaryXml::Ok)
            return fail(written == VaruBinaryXml::TextTooLong ? ChannelConfig : PackFailed);
        QFile::remove(manifestCopy);
        QFile::remove(out);
        QFile file(manifestCopy);
        if (!file.open(QIODevice::WriteOnly) || file.write(rewritten) != rewritten.size())
            return fail(PackFailed);
        file.close();
        // A channel APK that is not finished is removed: a copy that still carries the
        // source's channel must never pass for this channel's APK.
        auto failOutput = [&](int code) {
            QFile::remove(out);
            return fail(code);
        };
        if (!varuCopyFile(apkPath, out))
            return failOutput(PackFailed);
        QFile::setPermissions(out,
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                | QFileDevice::ReadOther);
        const bool zipped = VaruZip::instance()->zip(out, manifestCopy);
        QFile::remove(manifestCopy);
        if (!zipped)
            return failOutput(PackFailed);

        if (signing.enabled) {
            if (mSigner->signSync(out, outputDir, signing.keystorePath, signing.keystorePass,
                    signing.alias, signing.aliasPass)
                != 0)
                return fail(SignFailed); // the whole unsigned channel APK stays
            QFile::remove(out);
        }
    }
    return mErrorCode;
}
