#pragma once

#include "TRKey.h"
#include "TRValue.h"
#include "store/TRDefaultsStore.h"
#include "store/TRFileIdentity.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class TRCoder;
class TRKeyOutlineModel;
class TRKeyOutlineDragHandler;
class TRDomainController;
using TRDomainControllerPtr = std::shared_ptr<TRDomainController>;

// One open domain of the defaults store: its name, its key tree, whether the tree has changes not yet
// written, and the key outline that shows it. It is the outline's data source, through the item model
// returned by outlineModel().
class TRDomainController final
{
public:
    // loadDomainForName: the domain's contents in the shared store; an empty dictionary when absent.
    static TRValue loadDomainForName(const QString &name);

    // initWithDomain:contents: (not modified).
    TRDomainController(const QString &name, const TRValue &contents);
    // initWithDomain: the contents of the store's domain (not modified). Only the key count is asked for
    // now; the contents are loaded when first needed, since start-up makes a controller for every domain
    // of the store and most of them are never opened.
    explicit TRDomainController(const QString &name);
    // Restoring from an archive: an existing root.
    TRDomainController(const QString &name, const TRKeyPtr &rootKey);
    ~TRDomainController();

    TRDomainController(const TRDomainController &) = delete;
    TRDomainController &operator=(const TRDomainController &) = delete;

    // Drops the tree and builds it again from the store; not modified. Refreshes nothing.
    void reloadDomain();
    // The same with the contents and file identity already read from the store.
    void reloadDomain(const TRDefaultsStore::DomainRead &read);

    const QString &name() const { return m_name; }
    // The root of the key tree. The tree is built from the contents on first use: start-up makes a
    // controller for every domain of the store, and most of them are never opened.
    const TRKeyPtr &rootKey() const;
    int count() const;
    bool modified() const { return m_modified; }
    // Whether the contents have been read from the store (a domain made in Tamrix always has them).
    bool isLoaded() const { return !m_inStore; }
    // Who made the changes a save writes, for the history: an import, a restore; empty for edits.
    const QString &changeSource() const { return m_changeSource; }
    void setChangeSource(const QString &source) { m_changeSource = source; }
    void setModified(bool modified)
    {
        m_modified = modified;
        if (modified)
            ++m_changeCount;
    }
    // Grows with every change of the contents (an edit, a reload, being marked modified): what a write
    // taken at one count holds is the domain's latest only while the count stays.
    quint64 changeCount() const { return m_changeCount; }
    // The whole contents as a property list (it takes a pass over every key, and makes the next
    // snapshot start from it).
    TRValue databaseRepresentation() const;

    // The contents of this moment, cheap to take after every edit: a whole dictionary of an earlier
    // moment, shared and immutable, and the top-level keys changed since with their values now. The
    // window's thread takes one in time proportional to what changed; contents() puts the pieces together
    // wherever a pass over every key costs nobody a frame.
    struct Snapshot
    {
        TRValue base;
        // The changed keys and their values now; none for a key that is gone.
        std::vector<std::pair<QString, TRValue>> changed;
        // When keys were added, removed or renamed since the base: every key in its order now.
        std::vector<QString> order;
        bool reordered = false;
        TRValue contents() const;
    };
    Snapshot snapshot() const;
    // The store's file as it stood when the contents were read from it or last written; a domain made in
    // Tamrix takes the file as it stands then (one restored from an archive: once its owner sets it).
    // Saving replaces only that version of the file unasked.
    const TRFileIdentity &fileIdentity() const { return m_fileIdentity; }
    void setFileIdentity(const TRFileIdentity &identity) { m_fileIdentity = identity; }

    // The key edits every change of the tree goes through, with or without a window: each changes the
    // tree through the TRKey mutator, tells the outline model (if one was made) through its begin/end
    // calls, marks the domain modified and answers whether the tree changed. A key whose parent is gone,
    // or hangs in a tree other than this domain's current one, changes nothing: an undo step can outlive
    // the tree its key came from (the domain was deleted and brought back), and such nodes are not to be
    // touched.
    // The key goes into its parent: as the last element of a list, under its own name in a dictionary
    // (refused when the name is taken: that entry would be lost, not moved aside).
    bool insertKey(const TRKeyPtr &key);
    // The very node leaves its parent; it keeps its parent link and domain name.
    bool takeKey(const TRKeyPtr &key);
    // The new key, of the same parent, takes the old one's place; a dictionary entry under another name is
    // renamed in place.
    bool replaceKey(const TRKeyPtr &oldKey, const TRKeyPtr &newKey);
    // Whether the key is of this domain and its parent hangs in the current tree.
    bool holdsParentOf(const TRKey &key) const;

    // Outline data source; a null item stands for the invisible top level (the root).
    int outlineViewNumberOfChildrenOfItem(const TRKey *item) const;
    TRKeyPtr outlineViewChildOfItem(int index, const TRKey *item) const;
    bool outlineViewIsItemExpandable(const TRKey *item) const;
    // "keyName", "keyType", "keyValue"; any other identifier gives an invalid QVariant (an empty cell).
    QVariant outlineViewObjectValueForTableColumn(const QString &identifier, const TRKey *item) const;

    // Archiving (archive/TRDomainControllerCoding.cpp): the name, then the root key. A restored
    // controller has no view and is modified; null once the coder has failed.
    void encodeWithCoder(TRCoder &coder) const;
    static TRDomainControllerPtr initWithCoder(TRCoder &coder);

    // The Qt item model over this controller (created on first use, owned by the controller).
    TRKeyOutlineModel *outlineModel();
    // What dragging and dropping on the outline model means (see TRKeyOutlineModel): given to the model
    // now or when it is made.
    void setOutlineDragHandler(std::shared_ptr<TRKeyOutlineDragHandler> handler);

private:
    // The domain's dictionary until the tree is built from it, loaded from the store on first use.
    const TRValue &contents() const;
    struct Loaded
    {
        TRValue contents;
        TRFileIdentity identity;
    };
    static Loaded load(const QString &name);
    // Runs the mutator on the parent with the model told before and after; marks the domain modified when
    // the tree changed.
    // The child is the key the edit puts in or takes out (the new one of a replacement): its top-level
    // ancestor is the key a snapshot takes again. changesNames: the edit adds, removes or renames a key
    // (or element) of the parent.
    bool edit(TRKey &parent, const TRKey &child, bool changesNames,
              const std::function<TRKey::Edit(const TRKey::EditObserver &)> &mutate);
    void noteChanged(const TRKey &parent, const TRKey &child, bool changesNames);
    // The next snapshot starts from these contents of the tree as it stands.
    void takeAsBase(const TRValue &contents) const;

    QString m_name;
    mutable TRKeyPtr m_root;                  // null until rootKey() builds it from m_contents
    mutable TRValue m_contents;               // the domain's dictionary until the tree is built from it
    mutable bool m_keepsContents = false;     // the contents were too large for a tree and stay the domain's
    mutable bool m_inStore = false;           // the contents are still the store's, not loaded yet
    mutable bool m_contentsFromStore = false; // m_contents were read from the store, so within the bound
    int m_storeKeyCount = 0;                  // the store's count of top-level keys while m_inStore
    std::shared_ptr<TRKeyOutlineDragHandler> m_dragHandler;
    bool m_modified = false;
    quint64 m_changeCount = 0;
    // What snapshots start from: the contents of the tree at some moment, the top-level keys changed
    // since, and whether keys came or went (none: take the whole tree).
    mutable TRValue m_base;
    mutable QSet<QString> m_changedSinceBase;
    mutable bool m_keysChangedSinceBase = false;
    QString m_changeSource;
    mutable TRFileIdentity m_fileIdentity; // set again when contents() loads them from the store
    std::unique_ptr<TRKeyOutlineModel> m_outlineModel;
};
