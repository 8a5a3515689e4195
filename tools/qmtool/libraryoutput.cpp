#include "libraryoutput.h"

#include <cstdio>

#ifdef Q_OS_UNIX
#include <cstdint>
#include <unistd.h>

// Present when a sanitizer runtime is linked in (the test builds); null otherwise.
extern "C" __attribute__((weak)) void __sanitizer_set_report_fd(void* fd);
#endif

namespace {

QStringList& heldMessages()
{
    static QStringList messages;
    return messages;
}

int& terminalHandle()
{
    static int handle = 2;
    return handle;
}

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // A note about a missing runtime folder, which a headless tool does not use, is noise.
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    if (type != QtFatalMsg && type != QtCriticalMsg) {
        heldMessages().append(message);
        return;
    }
    const QByteArray line = qFormatLogMessage(type, context, message).toLocal8Bit() + '\n';
#ifdef Q_OS_UNIX
    if (::write(terminalHandle(), line.constData(), size_t(line.size())) < 0)
        return;
#else
    std::fputs(line.constData(), stderr);
#endif
}

} // namespace

LibraryOutput::LibraryOutput()
{
    qInstallMessageHandler(holdMessage);
#ifdef Q_OS_UNIX
    std::fflush(stderr);
    m_savedStderr = ::dup(2);
    m_held = std::tmpfile();
    if (m_savedStderr >= 0 && m_held && ::dup2(fileno(m_held), 2) >= 0) {
        terminalHandle() = m_savedStderr;
        m_terminal.open(m_savedStderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
        // A sanitizer's report ends the process at once: it must not be held.
        if (__sanitizer_set_report_fd)
            __sanitizer_set_report_fd(reinterpret_cast<void*>(std::intptr_t(m_savedStderr)));
        return;
    }
    if (m_held)
        std::fclose(m_held);
    m_held = nullptr;
#endif
    m_terminal.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
}

LibraryOutput::~LibraryOutput()
{
    release();
}

QStringList LibraryOutput::release()
{
    QStringList lines = heldMessages();
    heldMessages().clear();
#ifdef Q_OS_UNIX
    if (m_held) {
        std::fflush(stderr);
        ::dup2(m_savedStderr, 2);
        terminalHandle() = 2;
        std::rewind(m_held);
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, m_held)) {
            const QString line = QString::fromLocal8Bit(buffer).trimmed();
            if (!line.isEmpty())
                lines.append(line);
        }
        std::fclose(m_held);
        m_held = nullptr;
    }
#endif
    return lines;
}
