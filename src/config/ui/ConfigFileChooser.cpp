#include "config/ui/ConfigFileChooser.h"

#include "config/ConfigScreenSettings.h"
#include "platform/Dialogs.h"

#include <QHBoxLayout>
#include <QRadioButton>

ConfigFileChooser::ConfigFileChooser(QWidget* parent)
    : QGroupBox(QStringLiteral("Папка файлов"), parent) {
    setObjectName(QStringLiteral("GroupFolder"));
    RBany = new QRadioButton(QStringLiteral("Любой файл"), this);
    RBany->setObjectName(QStringLiteral("RBany"));
    RBarm = new QRadioButton(QStringLiteral("Созданный в АРМе"), this);
    RBarm->setObjectName(QStringLiteral("RBarm"));
    RBnet = new QRadioButton(QStringLiteral("Считанный с СУ"), this);
    RBnet->setObjectName(QStringLiteral("RBnet"));
    RBarm->setChecked(true);
    auto* row = new QHBoxLayout(this);
    for (QRadioButton* rb : {RBany, RBarm, RBnet}) {
        row->addWidget(rb);
        // Set by a click or from code alike.
        connect(rb, &QRadioButton::toggled, this, [this](bool on) {
            if (on) Reset();
        });
    }
    row->addStretch();  // a button is clicked on its text, so it keeps its own width
}

ConfigFolderChoice ConfigFileChooser::Choice() const {
    if (RBany->isChecked()) return ConfigFolderChoice::Any;
    return RBnet->isChecked() ? ConfigFolderChoice::Read : ConfigFolderChoice::Written;
}

QString ConfigFileChooser::Choose(const QString& dbFolder, bool describe) {
    QString title = QStringLiteral("Открыть ");
    if (initialDir_.trimmed().isEmpty()) {
        const ConfigFolderChoice choice = Choice();
        if (describe && choice == ConfigFolderChoice::Written)
            title += QStringLiteral("созданный в АРМЕ ");
        else if (describe && choice == ConfigFolderChoice::Read)
            title += QStringLiteral("считанный из сети ");
        initialDir_ =
            ConfigFilesFolder(ConfigDbFolder(dbFolder), choice, CurrentConfigObject().idNet);
        EnsureConfigFolder(initialDir_);
    }
    return Dialogs::OpenFile(title + QStringLiteral("КФ"), initialDir_);
}
