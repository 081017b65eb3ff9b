#pragma once

#include <QLoggingCategory>
#include <QMutex>
#include <QStringList>

namespace tawela::test {

// While it lives, the program's trace of one part ("tawela.db") is on and
// its lines are kept here instead of printed.
class TraceCatcher {
public:
    explicit TraceCatcher(const char* category) : m_category(category)
    {
        current() = this;
        QLoggingCategory::setFilterRules(QString::fromLatin1(category) +
                                         QStringLiteral(".debug=true"));
        m_previous = qInstallMessageHandler(&TraceCatcher::handle);
    }
    ~TraceCatcher()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
        current() = nullptr;
    }
    TraceCatcher(const TraceCatcher&) = delete;
    TraceCatcher& operator=(const TraceCatcher&) = delete;

    QStringList lines() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_lines;
    }
    QString all() const { return lines().join(u'\n'); }

private:
    static TraceCatcher*& current()
    {
        static TraceCatcher* c = nullptr;
        return c;
    }
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        TraceCatcher* c = current();
        if (c && context.category && qstrcmp(context.category, c->m_category) == 0) {
            const QMutexLocker lock(&c->m_mutex);
            c->m_lines << text;
            return;
        }
        if (c && c->m_previous)
            c->m_previous(type, context, text);
    }

    const char* m_category;
    QtMessageHandler m_previous = nullptr;
    mutable QMutex m_mutex;
    QStringList m_lines;
};

} // namespace tawela::test
