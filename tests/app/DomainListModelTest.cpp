#include "AppTestFixture.h"
#include "TRDomainListModel.h"
#include "TRUndoManager.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using DomainListModel = AppTest;

TEST_F(DomainListModel, CellsByIdentifierUnderTheModelTester)
{
    storeDomain(QStringLiteral("org.example.nested"), TRValue::fromDictionary([] {
                    TRDictionary top;
                    top.insert(QStringLiteral("group"), dictionaryOf(10));
                    return top;
                }()));
    storeDomain(QStringLiteral("org.example.three"), dictionaryOf(3));
    start();
    TRDomainListModel *model = m_controller->domainListModel();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    ASSERT_EQ(domainNames(),
              (QStringList{QStringLiteral("org.example.nested"), QStringLiteral("org.example.three")}));
    // Top-level keys only.
    EXPECT_EQ(cell(0, QStringLiteral("keyCount")), QStringLiteral("1"));
    EXPECT_EQ(cell(1, QStringLiteral("keyCount")), QStringLiteral("3"));
    EXPECT_EQ(cell(0, QStringLiteral("modified")), QString());
    EXPECT_EQ(m_controller->tableViewObjectValueForTableColumn(QStringLiteral("domainName"), 1),
              QStringLiteral("org.example.three"));

    // Appending and removing at the end keep the row numbers of the rows before.
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
    m_controller->addDomain(std::make_shared<TRDomainEnvelope>(QStringLiteral("zzz")));
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(cell(2, QStringLiteral("modified")), TRAppController::trCross());
    EXPECT_EQ(TRAppController::trCross(), QString(QChar(0x2718)));
    m_controller->undoManager()->undo();
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(model->rowCount(), 2);

    // A domain removed in the middle is announced where it stood; the selection stays with its domain.
    m_controller->addDomain(std::make_shared<TRDomainEnvelope>(QStringLiteral("zzz")));
    selectRow(2);
    m_controller->removeDomain(std::make_shared<TRDomainEnvelope>(QStringLiteral("org.example.three")));
    ASSERT_EQ(removed.count(), 2);
    EXPECT_EQ(removed.last().at(1).toInt(), 1);
    EXPECT_EQ(selectedRow(), 1);
    EXPECT_EQ(m_controller->currentDomain()->name(), QStringLiteral("zzz"));

    // An identifier none of the three shows "-Invalid-" in every row.
    model->setColumnIdentifiers({QStringLiteral("domainName"), QStringLiteral("bogus")});
    for (int row = 0; row < model->rowCount(); ++row)
        EXPECT_EQ(model->index(row, 1).data().toString(), QStringLiteral("-Invalid-"));

    // Detached, the list is empty.
    model->setDataSource(nullptr);
    EXPECT_EQ(model->rowCount(), 0);
}
