// The peer of the idle benchmark: a Qt program with two windows and no timers, which does
// nothing until it is ended. What it costs idle is what any Qt widget program costs.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel first(QStringLiteral("idle peer"));
    first.resize(148, 90);
    first.show();
    QWidget second;
    auto* layout = new QVBoxLayout(&second);
    layout->addWidget(new QLabel(QStringLiteral("a second window"), &second));
    layout->addWidget(new QLineEdit(&second));
    second.resize(400, 300);
    second.show();
    return QApplication::exec();
}
