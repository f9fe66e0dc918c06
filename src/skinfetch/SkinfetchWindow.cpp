#include "skinfetch/SkinfetchWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "skinfetch/Skinfetch.h"

namespace melodrop::skinfetch {

namespace {

template <typename W, typename... Args>
W* named(const char* objectName, Args&&... args) {
    auto* widget = new W(std::forward<Args>(args)...);
    widget->setObjectName(QLatin1String(objectName));
    return widget;
}

}  // namespace

SkinfetchWindow::SkinfetchWindow(Skinfetch& logic, QWidget* parent)
    : QWidget(parent),
      logic_(logic),
      lstSkins_(named<QListWidget>("lstSkins")),
      cmdRefreshList_(named<QPushButton>("cmdRefreshList", QStringLiteral("&refresh list"))),
      cmdDownload_(named<QPushButton>("cmdDownload", QStringLiteral("&download"))),
      command1_(named<QPushButton>("Command1", QStringLiteral("&Exit"))),
      lblStatus_(named<QLabel>("lblStatus", QStringLiteral("status:"))) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("melodrop skinfetch"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdRefreshList_);
    buttons->addWidget(cmdDownload_);
    buttons->addStretch();
    buttons->addWidget(command1_);
    auto* top = new QHBoxLayout;
    top->addWidget(lstSkins_, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(lblStatus_);
    resize(320, 240);

    connect(cmdRefreshList_, &QPushButton::clicked, this, [this] { logic_.refreshList(); });
    connect(cmdDownload_, &QPushButton::clicked, this, [this] { logic_.downloadSelected(); });
    // Closing the window ends the program.
    connect(command1_, &QPushButton::clicked, this, &QWidget::close);
    connect(lstSkins_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!showingEntries_) logic_.setSelectedIndex(row);
    });

    logic_.onEntriesChanged = [this] { showEntries(); };
    logic_.onStatusChanged = [this] { lblStatus_->setText(logic_.status()); };
    logic_.onWorkingChanged = [this] { showWorking(); };
    showEntries();
    lblStatus_->setText(logic_.status());
}

SkinfetchWindow::~SkinfetchWindow() {
    logic_.onEntriesChanged = nullptr;
    logic_.onStatusChanged = nullptr;
    logic_.onWorkingChanged = nullptr;
}

void SkinfetchWindow::showEntries() {
    showingEntries_ = true;
    lstSkins_->clear();
    lstSkins_->addItems(logic_.entries());
    lstSkins_->setCurrentRow(logic_.selectedIndex());
    showingEntries_ = false;
}

void SkinfetchWindow::showWorking() {
    cmdRefreshList_->setEnabled(!logic_.isWorking());
    cmdDownload_->setEnabled(!logic_.isWorking());
}

}  // namespace melodrop::skinfetch
