#include "apkdelete.h"

#include "core/usermodel.h"
#include "serviceurl.h"

#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

VaruApkDelete::VaruApkDelete(const QString &md5, QObject *parent) : VaruRequest(parent), mMd5(md5)
{
    mPath = QStringLiteral("/data/serve");
    mType = TypeDelete;
    setStatus(StatusPending);
    // Nothing holds on to a delete request: one that fails to start must not linger.
    connect(this, &VaruRequest::sigRequestStatusChanged, this, [this](int, int newStatus, int) {
        if (newStatus == StatusFailed)
            deleteLater();
    });
}

void VaruApkDelete::doRequest()
{
    if (mMd5.isEmpty())
        return;
    QString cookie;
    if (!VaruUserModel::instance()->cookie(cookie))
        return;
    auto *multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    multiPart->append(formPart("form-data; name=\"flag\"", "appDel"));
    multiPart->append(formPart("form-data; name=\"md5\"", mMd5.toUtf8()));

    QNetworkRequest request(serviceUrl(mPath));
    request.setRawHeader("Cookie", cookie.toUtf8());
    mReply = mNetworkManager->post(request, multiPart);
    if (mReply)
        multiPart->setParent(mReply);
    else
        delete multiPart;
}

void VaruApkDelete::onFinished()
{
    deleteLater();
}
