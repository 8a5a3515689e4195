#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace qm {

// A data file mapped for reading, or read whole where mapping fails. Never written.
class MappedFile {
public:
    explicit MappedFile(const QString& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool exists() const { return m_exists; }
    bool isOpen() const { return m_open; }
    // Why the file is not open, naming it: missing, not openable or not readable whole.
    QString errorString() const { return m_error; }
    // The system's own reason when the file could not be opened, without the file's name.
    QString openError() const { return m_openError; }
    qint64 size() const { return m_size; }
    const char* data() const { return m_data; }

private:
    QFile m_file;
    bool m_exists = false;
    bool m_open = false;
    QString m_error;
    QString m_openError;
    qint64 m_size = 0;
    uchar* m_map = nullptr;
    QByteArray m_contents;
    const char* m_data = nullptr;
};

} // namespace qm
