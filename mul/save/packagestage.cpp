#include "packagestage.h"

#include "indexfile.h"
#include "packagewriter.h"
#include "recordsource.h"
#include "savetransaction.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

namespace qm {

namespace {

// The staged file is unbuffered; entries are small, so they are gathered into blocks of
// this size before each write.
constexpr qint64 kWriteBlock = 4 << 20;

// A sequential write buffer in front of the staged file that still allows the writer's
// seeks back to a table it has filled in.
class BlockedOutput : public QIODevice {
public:
    explicit BlockedOutput(QFile& file) : m_file(file)
    {
        m_pending.reserve(kWriteBlock * 2);
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return qMax(m_file.size(), m_base + m_pending.size()); }
    bool seek(qint64 pos) override
    {
        if (!flushPending() || !m_file.seek(pos))
            return false;
        m_base = pos;
        return QIODevice::seek(pos);
    }
    bool flushPending()
    {
        if (m_pending.isEmpty())
            return true;
        if (m_file.write(m_pending) != m_pending.size()) {
            setErrorString(m_file.errorString());
            return false;
        }
        m_base += m_pending.size();
        m_pending.resize(0);   // keeps the reserved block
        return true;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override
    {
        m_pending.append(data, length);
        if (m_pending.size() >= kWriteBlock && !flushPending())
            return -1;
        return length;
    }

private:
    QFile& m_file;
    QByteArray m_pending;
    qint64 m_base = 0;
};

} // namespace

bool stagePackage(SaveTransaction& tx, const QString& mulDir, PackageKind kind, const QVector<int>& ids,
                  const std::function<bool(int id)>& keepStored, const PackageIdData& newData, QString* error)
{
    const QString name = packageFileName(kind);
    const QString path = mulPath(mulDir, name);
    std::shared_ptr<const PackageDirectory> source;
    QFile sourceFile(path);
    if (QFileInfo::exists(path)) {
        source = cachedPackageDirectory(path, error);
        if (!source)
            return false;
        if (!sourceFile.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("Opening %1 failed: %2").arg(name, sourceFile.errorString());
            return false;
        }
    }
    // Kept entries are copied one by one; from a map each copy is a memory copy instead of a
    // seek and a read.
    const qint64 sourceSize = source ? sourceFile.size() : 0;
    uchar* map = sourceSize > 0 ? sourceFile.map(0, sourceSize) : nullptr;
    QByteArray mappedBytes = map ? QByteArray::fromRawData(reinterpret_cast<const char*>(map), sourceSize) : QByteArray();
    QBuffer mappedSource(&mappedBytes);
    QIODevice* sourceDevice = &sourceFile;
    if (map && mappedSource.open(QIODevice::ReadOnly))
        sourceDevice = &mappedSource;
    const QVector<PackageWriteItem> items = planPackageWrite(kind, ids, source.get(), keepStored);
    QFile* staged = tx.stage(name, error);
    if (!staged)
        return false;
    BlockedOutput out(*staged);
    const PackageWriteSource from { source.get(), source ? sourceDevice : nullptr };
    const PackageEntryData data = [&](const PackageWriteItem& item, QByteArray* bytes, QString* e) {
        return newData(item.id, bytes, e);
    };
    if (!writePackage(out, name, packageFormatFrom(source.get()), items, from, data, error))
        return false;
    if (!out.flushPending()) {
        *error = QStringLiteral("Writing %1 failed: %2").arg(name, out.errorString());
        return false;
    }
    return true;
}

} // namespace qm
