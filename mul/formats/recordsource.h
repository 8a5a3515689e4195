#pragma once

#include "artcodec.h"
#include "artdatafile.h"
#include "indexfile.h"
#include "packagefile.h"
#include "packagenames.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>

#include <memory>

namespace qm {

// Where a catalogue's entries come from. Art (land and static) and gumps are kept either in
// the classic index + data pair or in a package; where a directory holds both, the package is
// what the game reads, so it wins. Textures always use their pair.
enum class CatalogueForm { Pair, Package };

CatalogueForm catalogueForm(const QString& mulDir, int kind);
// The file that lists a catalogue's entries in the form in use: the package or the index file.
// Its stamp tells whether another program changed the catalogue.
QString catalogueFileName(const QString& mulDir, int kind);
QString catalogueFileName(int kind, CatalogueForm form);
// "package" or "classic pair", for the user.
QString catalogueFormName(CatalogueForm form);

// A package's directory, read once per version of the file (its size, time and inode) and
// shared by every reader of it. Null with `error` when the package is unreadable as a whole.
std::shared_ptr<const PackageDirectory> cachedPackageDirectory(const QString& path, QString* error);

// The first damaged entry of a package as a sentence naming the file and the entry (and how
// many more there are); empty when every entry can be read.
QString packageDamage(PackageKind kind, const PackageDirectory& dir);

// Lists the ids of a package catalogue into `c` (art: land and static): the ids with an entry
// are listed, the rest of the id range is free. An unreadable package lists nothing and a
// damaged entry leaves what can be read listed; either is named in c.damage.
void readPackageCatalogue(const QString& mulDir, PackageKind kind, Catalogues& c);

// One item's record as the catalogue's files hold it.
struct ItemRecord {
    bool found = false;   // the id has an entry (an index record with data, a package entry)
    QByteArray bytes;     // the record as the .mul data file would hold it
    quint32 extra = 0;    // the index record's extra value (for a gump built from its size)
};

// The records of one catalogue of a data directory, whatever form holds them. Opened once
// and read many times: the pair's files and the package are memory-mapped, and a package's
// directory comes from the shared cache. Reading never changes the object, so one source may
// be read from several threads at once.
class RecordSource {
public:
    RecordSource(const QString& mulDir, int kind);
    ~RecordSource();
    RecordSource(const RecordSource&) = delete;
    RecordSource(RecordSource&&) = delete;
    RecordSource& operator=(const RecordSource&) = delete;

    CatalogueForm form() const { return m_form; }
    // The file holding the records (art.mul, artLegacyMUL.uop, ...).
    QString fileName() const { return m_name; }
    bool isOpen() const { return m_open; }
    QString errorString() const { return m_error; }

    // The record of `id`. True with found = false for an id without data; false with a
    // sentence naming the file (and entry) for an entry that cannot be read. The bytes are
    // valid while this object lives.
    bool read(int id, ItemRecord* out, QString* error = nullptr) const;
    // The record decoded; null for an empty or unreadable item.
    QImage decode(int id, DecodeReport* report = nullptr, QString* error = nullptr) const;
    // The record decoded with its colours looked up in `colors` (a hue's huedColorTable).
    QImage decodeColored(int id, const QRgb* colors) const;

    // The package's directory (Package form only).
    const PackageDirectory* packageDirectory() const { return m_dir.get(); }

private:
    bool readPair(int id, ItemRecord* out, QString* error) const;
    bool readPackage(int id, ItemRecord* out, QString* error) const;
    QByteArray mapped(quint64 offset, quint64 length) const;

    QString m_mulDir;
    int m_kind;
    CatalogueForm m_form;
    QString m_name;
    QString m_error;
    bool m_open = false;
    std::unique_ptr<ArtDataFile> m_index;   // the pair's index, mapped like the data
    std::unique_ptr<ArtDataFile> m_data;
    std::shared_ptr<const PackageDirectory> m_dir;
};

} // namespace qm
