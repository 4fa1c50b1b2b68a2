// Any bytes as a line from the logger: the status and diagnostics reply parsers, the hex record
// reader and the file names made from a joint information reply. The first byte chooses which.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz_check.h"
#include "logger/download_writer.h"
#include "logger/protocol.h"

namespace {

using namespace vr5;

bool safeName(const QString& name) {
    if (name.startsWith(u'.') || !name.endsWith(QStringLiteral(".tjr"))) return false;
    for (QChar c : name) {
        if (c.unicode() < 0x20 || QStringView(u"\\/:*?\"<>|").contains(c)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const QByteArray line = QByteArray::fromRawData(reinterpret_cast<const char*>(data) + 1,
                                                    static_cast<qsizetype>(size - 1));
    switch (data[0] % 4) {
        case 0:
            if (const auto reply = protocol::parseStatusReply(line)) {
                FUZZ_CHECK(line.size() >= protocol::kStatusReplyMinLength);
                FUZZ_CHECK(reply->probeIdentity.size() <= protocol::kProbeIdentityMaxLength);
                if (reply->sampleCount) FUZZ_CHECK(reply->sampleCount->size() <= 5);
            }
            break;
        case 1:
            if (const auto reply = protocol::parseDiagnosticsReply(line)) {
                FUZZ_CHECK(line.size() >= protocol::kDiagnosticsReplyMinLength);
            }
            break;
        case 2: {
            const DownloadWriter::Names names = DownloadWriter::namesFrom(line);
            FUZZ_CHECK(safeName(names.download));
            FUZZ_CHECK(safeName(names.fallback));
            break;
        }
        default: {
            protocol::HexReader reader(line, 5);
            for (int i = 0; i < 40; ++i) {
                const qsizetype before = reader.position();
                const QString text = reader.string(20);
                FUZZ_CHECK(text.size() <= 20);
                FUZZ_CHECK(reader.position() >= before + 8 || reader.position() == before + 4 ||
                           reader.position() > before);
                FUZZ_CHECK(reader.number() >= 0);
            }
            QByteArray words;
            const qsizetype converted = protocol::convertSection(line, words);
            FUZZ_CHECK(converted >= 0 && words.size() == converted / 4 * 2);
            break;
        }
    }
    return 0;
}
