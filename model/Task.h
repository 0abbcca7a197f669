#pragma once

#include "model/HyperLink.h"

#include <QList>
#include <QString>

// One card: its notes, links and image. Its property values live in the Document's ValueStore.
class Task
{
public:
    Task() = default;

    const QString &notes() const { return m_notes; }
    void setNotes(const QString &notes) { m_notes = notes; }
    QList<HyperLink> hyperLinks() const { return m_links; }
    void setHyperLinks(const QList<HyperLink> &links) { m_links = links; }
    void addHyperLinks(const QList<HyperLink> &links) { m_links.append(links); }
    int imageIndex() const { return m_imageIndex; }
    void setImageIndex(int index) { m_imageIndex = index; }

    bool operator==(const Task &other) const;
    bool operator!=(const Task &other) const { return !(*this == other); }

private:
    QString m_notes;
    QList<HyperLink> m_links;
    int m_imageIndex = -1;
};
