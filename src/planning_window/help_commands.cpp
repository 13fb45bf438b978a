#include "help_commands.h"

#include "companion_program.h"
#include "shell.h"
#include "translate.h"
#include "user_interface.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

HelpCommands::HelpCommands(Shell& shell, UserInterface& ui, CompanionProgram& companion,
                           QString programFolder, QString interfaceLanguage)
    : m_shell(shell), m_ui(ui), m_companion(companion), m_programFolder(std::move(programFolder)),
      m_interfaceLanguage(std::move(interfaceLanguage)), m_addresses(helplinks::Addresses::configured()) {}

void HelpCommands::openHelpFile(const QString& path) {
    // A browser would only say that some file is missing; this says which, and where.
    if (!QFileInfo(path).isFile()) {
        m_ui.showMessage(tr_("Die Datei wurde nicht gefunden; ist Taktplan vollständig installiert?") +
                         u"\r\n\r\n"_s + path);
        return;
    }
    m_shell.openFile(path);
}

void HelpCommands::openAddressOrContact(const QString& address) {
    if (address.isEmpty())
        openGuide(QString::fromLatin1(helplinks::sectionContact));
    else
        m_shell.openAddress(address);
}

void HelpCommands::openGuide(const QString& section) {
    openHelpFile(helplinks::guideFile(m_programFolder, m_interfaceLanguage, section));
}

void HelpCommands::checkUpdates() {
    m_companion.notifyUpdates([this] { openAddressOrContact(m_addresses.homePage); });
}

void HelpCommands::licences() {
    openHelpFile(helplinks::licenceFile(m_programFolder));
}

void HelpCommands::moreProjects() {
    openAddressOrContact(m_addresses.projectsPage);
}

void HelpCommands::sendMail() {
    openAddressOrContact(
        m_addresses.contactMail.isEmpty()
            ? QString()
            : helplinks::mailUrl(m_addresses.contactMail, QString::fromLatin1(CompanionProgram::version))
                  .toString(QUrl::FullyEncoded));
}
