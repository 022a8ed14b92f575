#pragma once

#include <QMainWindow>
#include <memory>

namespace Ui {
class TRMainWindow;
}

// The main window as its form describes it: the domain list beside the key outline, the menus with
// their actions, the status bar.
class TRMainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    explicit TRMainWindow(QWidget *parent = nullptr);
    ~TRMainWindow() override;

    Ui::TRMainWindow &form() { return *m_form; }

private:
    std::unique_ptr<Ui::TRMainWindow> m_form;
};
