#pragma once

#include "TRValue.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// Find in All Domains: walks the contents of every domain, collapsed keys included, and collects the keys
// whose name (and, when asked, whose value) holds the text, without regard to case. The contents are
// values that never change, so the walk can be done a slice at a time while the user goes on editing:
// it sees the domains as they were when it began.
class TRFindAllSearch final
{
public:
    struct Match
    {
        QString domain;
        // From the top level down; a list element by its position.
        QStringList names;
        // The value as the outline shows it (a container by its number of sub-items), cut when long.
        QString value;
    };

    TRFindAllSearch(std::vector<std::pair<QString, TRValue>> domains, const QString &text, bool inValues);

    // Visits up to budget keys, adding the matches among them. Answers whether the walk is complete.
    bool step(int budget, QList<Match> *matches);
    bool isFinished() const { return m_finished; }

    // The text a leaf value is matched against and shown as.
    static QString valueText(const TRValue &value);

private:
    struct Frame
    {
        TRValue container;
        qsizetype next = 0;
    };

    bool matches(const QString &name, bool isEntry, const TRValue &value) const;

    std::vector<std::pair<QString, TRValue>> m_domains;
    QString m_text;
    bool m_inValues;
    std::size_t m_domain = 0;
    std::vector<Frame> m_stack;
    QStringList m_names;
    bool m_finished = false;
};
