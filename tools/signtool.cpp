#include "signtool.h"

#include "platform/logger/logger.h"
#include "platform/os/toolpaths.h"
#include "processrunner.h"
#include "task.h"
#include "zip.h"

#include <QFile>
#include <QFileInfo>

using Log4Qt::Level;

namespace {
const QStringList kSignatureFiles = {QStringLiteral("META-INF/MANIFEST.MF"),
    QStringLiteral("META-INF/*.SF"), QStringLiteral("META-INF/*.RSA"),
    QStringLiteral("META-INF/*.DSA"), QStringLiteral("META-INF/*.EC")};

bool isSignatureFile(const QString &entry)
{
    if (!entry.startsWith(QLatin1String("META-INF/")))
        return false;
    return entry == QLatin1String("META-INF/MANIFEST.MF") || entry.endsWith(QLatin1String(".SF"))
        || entry.endsWith(QLatin1String(".RSA")) || entry.endsWith(QLatin1String(".DSA"))
        || entry.endsWith(QLatin1String(".EC"));
}
} // namespace

VaruSignTool::VaruSignTool(QObject *parent)
    : QObject(parent), mJarsignerPath(VaruOs::toolPath(VaruOs::Tool::Jarsigner)),
      mZipalignPath(VaruOs::toolPath(VaruOs::Tool::Zipalign)),
      mKeytoolPath(VaruOs::toolPath(VaruOs::Tool::Keytool))
{ }

Log4Qt::Logger *VaruSignTool::logger()
{
    return mLogger.logger(this);
}

void VaruSignTool::log(const QString &message)
{
    if (logger()->isEnabledFor(Level::INFO_INT))
        logger()->forcedLog(Level::INFO_INT, message);
}

QString VaruSignTool::errorText(int code)
{
    switch (code) {
    case NoError:
        return QStringLiteral("签名成功:)");
    case Busy:
        return QStringLiteral("正在签名中，请稍候再试...");
    case BadArguments:
        return QStringLiteral("参数错误");
    case ToolMissing:
    case ToolFailure:
    case AlignFailed:
        return QStringLiteral("签名工具异常");
    case WrongPassword:
        return QStringLiteral("Keystore密码错误");
    case CannotOpenApk:
        return QStringLiteral("无法打开APK文件");
    case SignedBefore:
        return QStringLiteral("请勿重复签名");
    default:
        return QStringLiteral("签名失败:(");
    }
}

QString VaruSignTool::intermediatePath(const QString &apkPath, const QString &outputDir)
{
    const QString name = QFileInfo(apkPath).fileName();
    return outputDir + name.left(name.size() - 4) + QStringLiteral("_signed.apk");
}

int VaruSignTool::check(const QString &apkPath, const QString &outputDir,
    const QString &keystorePath, const QString &keystorePass, const QString &alias,
    const QString &aliasPass)
{
    if (mBusy)
        return Busy;
    if (apkPath.isEmpty() || outputDir.isEmpty() || keystorePath.isEmpty()
        || keystorePass.size() < 6 || alias.isEmpty() || aliasPass.size() < 4)
        return BadArguments;
    if (mJarsignerPath.isEmpty() || !QFileInfo::exists(mJarsignerPath))
        return ToolMissing;
    return NoError;
}

int VaruSignTool::sign(const QString &apkPath, const QString &outputDir,
    const QString &keystorePath, const QString &keystorePass, const QString &alias,
    const QString &aliasPass)
{
    const int refusal = check(apkPath, outputDir, keystorePath, keystorePass, alias, aliasPass);
    mErrorCode = refusal;
    if (refusal != NoError) {
        emit sigApkSignCallback(apkPath, outputDir, refusal, errorText());
        return refusal;
    }
    mBusy = true;
    const QString intermediate = intermediatePath(apkPath, outputDir);
    Task::run([=]() {
        return work(apkPath, intermediate, keystorePath, keystorePass, alias, aliasPass);
    })->then(this, [this, apkPath, outputDir](int result) {
        mErrorCode = result;
        mBusy = false;
        emit sigApkSignCallback(apkPath, outputDir, result, errorText());
    });
    return NoError;
}

int VaruSignTool::signSync(const QString &apkPath, const QString &outputDir,
    const QString &keystorePath, const QString &keystorePass, const QString &alias,
    const QString &aliasPass)
{
    const int refusal = check(apkPath, outputDir, keystorePath, keystorePass, alias, aliasPass);
    mErrorCode = refusal;
    if (refusal != NoError)
        return refusal;
    mBusy = true;
    mErrorCode = work(apkPath, intermediatePath(apkPath, outputDir), keystorePath, keystorePass,
        alias, aliasPass);
    mBusy = false;
    return mErrorCode;
}

void VaruSignTool::disposeWhenIdle()
{
    if (!mBusy) {
        delete this;
        return;
    }
    setParent(nullptr);
    mDisposeWhenIdle = true;
}

QString VaruSignTool::signatureAlgorithm(const QString &listing)
{
    const QString marker = QStringLiteral("Signature algorithm name");
    const int at = listing.indexOf(marker, 0, Qt::CaseInsensitive);
    QString name;
    if (at >= 0) {
        const int start = at + 26; // the marker, a colon and a blank
        const int end = listing.indexOf(QLatin1String("Version:"), start, Qt::CaseInsensitive);
        name = listing.mid(start, end < 0 ? -1 : end - start);
    }
    const int with = name.indexOf(QLatin1String("with"), 0, Qt::CaseInsensitive);
    return QStringLiteral("SHA1with") + (with < 0 ? QString() : name.mid(with + 4, 3));
}

int VaruSignTool::classifyJarsigner(const QString &output)
{
    auto has = [&output](const char *text) {
        return output.contains(QLatin1String(text), Qt::CaseInsensitive);
    };
    if (has("java.security.UnrecoverableKeyException") || has("not a private key"))
        return WrongPassword;
    if (has("unable to open jar file"))
        return CannotOpenApk;
    if (has("invalid entry compressed size"))
        return SignedBefore;
    if (has("Please type jarsigner -help for usage"))
        return BadArguments;
    if (!has("jar signed"))
        return SignFailed;
    return NoError;
}

int VaruSignTool::work(const QString &apkPath, const QString &intermediate,
    const QString &keystorePath, const QString &keystorePass, const QString &alias,
    const QString &aliasPass)
{
    // The chosen key's own algorithm: the listing is limited to its alias.
    const QString cacheKey
        = keystorePath + QLatin1Char('\n') + keystorePass + QLatin1Char('\n') + alias;
    QString algorithm = mAlgorithms.value(cacheKey);
    if (algorithm.isEmpty()) {
        VaruRunOptions listOptions;
        listOptions.environment
            = environmentWith({{QLatin1String(kStorePassVariable), keystorePass}});
        const QString listing = runProcess(mKeytoolPath,
            {QStringLiteral("-J-Duser.language=en"), QStringLiteral("-list"), QStringLiteral("-v"),
                QStringLiteral("-keystore"), keystorePath, QStringLiteral("-storepass:env"),
                QLatin1String(kStorePassVariable), QStringLiteral("-alias"), alias},
            listOptions);
        algorithm = signatureAlgorithm(listing);
        if (algorithm.size() > 8) // a name was found; a failed listing is asked again next time
            mAlgorithms.insert(cacheKey, algorithm);
    }
    log(QStringLiteral("[sign kalg]: %1 ").arg(algorithm));

    // A copy without old signature files is signed, so that the result has one signer.
    QString input = apkPath;
    const QString unsignedCopy = intermediate + QStringLiteral(".unsigned");
    const QStringList entries = VaruZip::instance()->entries(apkPath);
    if (std::any_of(entries.cbegin(), entries.cend(), isSignatureFile)) {
        QFile::remove(unsignedCopy);
        if (varuCopyFile(apkPath, unsignedCopy)) {
            QFile::setPermissions(unsignedCopy, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            VaruZip::instance()->remove(unsignedCopy, kSignatureFiles);
            input = unsignedCopy;
        }
    }

    // The passwords go through the tool's environment: the argument list names the variables.
    const QStringList args = {QStringLiteral("-keystore"), QStringLiteral("-J-Duser.language=en"),
        keystorePath, QStringLiteral("-storepass:env"), QLatin1String(kStorePassVariable),
        QStringLiteral("-keypass:env"), QLatin1String(kKeyPassVariable),
        QStringLiteral("-digestalg"), QStringLiteral("SHA1"), QStringLiteral("-sigalg"), algorithm,
        QStringLiteral("-signedjar"), intermediate, input, alias};
    log(QStringLiteral("[sign params]: %1 ").arg(args.join(QLatin1Char(' '))));
    VaruRunOptions signOptions;
    signOptions.environment = environmentWith({{QLatin1String(kStorePassVariable), keystorePass},
        {QLatin1String(kKeyPassVariable), aliasPass}});
    const QString output = runProcess(mJarsignerPath, args, signOptions);
    log(QStringLiteral("[sign %1 ]: %2 ").arg(apkPath, output));
    if (input != apkPath)
        QFile::remove(unsignedCopy);

    const int code = classifyJarsigner(output);
    if (code != NoError) {
        QFile::remove(intermediate);
        return code;
    }
    const int aligned = align(intermediate);
    QFile::remove(intermediate);
    return aligned;
}

int VaruSignTool::align(const QString &intermediate)
{
    if (mZipalignPath.isEmpty() || !QFileInfo::exists(mZipalignPath))
        return ToolMissing;
    const QString final
        = intermediate.left(intermediate.size() - 4) + QStringLiteral("_zipalign.apk");
    QFile::remove(final);
    int exitCode = -1;
    runProcess(mZipalignPath,
        {QStringLiteral("-f"), QStringLiteral("-v"), QStringLiteral("4"), intermediate, final},
        VaruRunOptions(), &exitCode);
    QFile::remove(intermediate);
    if (exitCode != 0) {
        QFile::remove(final); // whatever zipalign left is not a finished APK
        return AlignFailed;
    }
    return QFileInfo::exists(final) ? NoError : AlignFailed;
}
