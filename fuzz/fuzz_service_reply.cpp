// The decoding of the service's replies. Input: one byte choosing the reply (upload,
// hardening request, status list), then the body as received.
#include "service/servicereply.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray body(reinterpret_cast<const char *>(data + 1), int(size - 1));
    switch (data[0] % 3) {
    case 0: {
        const VaruServiceReply::UploadReply reply = VaruServiceReply::decodeUpload(body);
        if (!reply.parsed && (reply.code.value != 0 || !reply.appName.isEmpty()))
            abort(); // a body that is not JSON says nothing
        break;
    }
    case 1: {
        VaruServiceReply::Code code;
        VaruServiceReply::decodeReinforce(body, &code);
        if (code.sessionExpired && code.notRegistered)
            abort();
        break;
    }
    default: {
        QVector<VaruServiceReply::StatusEntry> entries;
        if (!VaruServiceReply::decodeStatusList(body, &entries) && !entries.isEmpty())
            abort();
        break;
    }
    }
    return 0;
}
