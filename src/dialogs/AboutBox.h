#pragma once

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;
class QPushButton;

// The program's title, version, description and notices, with two extras:
// the desktop's system information tool and the support web page.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);

    // "Version 1.8" for a release, "Prototype 1.8.0.0.3" for revision 3.
    static QString versionText(int major, int minor, int revision);
    static QUrl supportAddress();

    // Replaceable, so that tests start neither a browser nor a program.
    std::function<bool(const QUrl &)> openUrl;
    std::function<bool(const QString &)> startProgram;

    QLabel *iconLabel = nullptr;
    QLabel *titleLabel = nullptr;
    QLabel *versionLabel = nullptr;
    QLabel *descriptionLabel = nullptr;
    QLabel *copyrightLabel = nullptr;
    QLabel *disclaimerLabel = nullptr;
    QLabel *webLabel = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *sysInfoButton = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startSystemInfo();
    void askToBrowse();
};
