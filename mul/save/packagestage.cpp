#include "packagestage.h"

#include "durablefile.h"
#include "entrycopier.h"
#include "indexfile.h"
#include "packagewriter.h"
#include "recordsource.h"
#include "savetransaction.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

namespace qm {

namespace {

// The new package as a device for the writer: everything appended goes through an
// EntryCopier, which gathers small writes into large blocks and has the kernel copy kept
// entries; the writer's seeks back to fill in a table it has completed write in place.
class CopierOutput : public QIODevice {
public:
    CopierOutput(const QString& sourcePath, QFile& file)
        : m_file(file)
        , m_copier(sourcePath, file)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_copier.position(); }
    qint64 pos() const override { return m_patching ? m_patchPos : m_copier.position(); }
    bool seek(qint64 pos) override
    {
        QIODevice::seek(pos);
        if (pos == m_copier.position()) {
            // Back at the end: appending resumes where the copier left the file.
            m_patching = false;
            return m_file.seek(pos) || fail(m_file.errorString());
        }
        if (!m_patching && !m_copier.flush(&m_error))
            return fail(m_error);
        m_patching = true;
        m_patchPos = pos;
        return m_file.seek(pos) || fail(m_file.errorString());
    }
    bool copy(const PackageEntry& entry, QString* error)
    {
        if (!m_copier.copy(qint64(entry.offset), qint64(entry.blockLength()), error))
            return false;
        QIODevice::seek(m_copier.position());
        return true;
    }
    bool finish(QString* error) { return m_copier.flush(error); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override
    {
        if (m_patching) {
            if (!writeAll(m_file, data, length, &m_error))
                return fail(m_error), -1;
            m_patchPos += length;
            return length;
        }
        if (!m_copier.append(QByteArray::fromRawData(data, length), &m_error))
            return fail(m_error), -1;
        return length;
    }

private:
    bool fail(const QString& why)
    {
        setErrorString(why);
        return false;
    }

    QFile& m_file;
    EntryCopier m_copier;
    QString m_error;
    bool m_patching = false;
    qint64 m_patchPos = 0;
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
    const QVector<PackageWriteItem> items = planPackageWrite(kind, ids, source.get(), keepStored);
    QFile* staged = tx.stage(name, error);
    if (!staged)
        return false;
    CopierOutput out(path, *staged);
    PackageWriteSource from { source.get(), source ? &sourceFile : nullptr, {} };
    from.copyBlock = [&](const PackageEntry& entry, QString* e) { return out.copy(entry, e); };
    const PackageEntryData data = [&](const PackageWriteItem& item, QByteArray* bytes, QString* e) {
        return newData(item.id, bytes, e);
    };
    if (!writePackage(out, name, packageFormatFrom(source.get()), items, from, data, error))
        return false;
    return out.finish(error);
}

} // namespace qm
