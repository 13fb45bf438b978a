#pragma once

#include "help_links.h"

#include <QString>

#include <functional>

class CompanionProgram;
class Shell;
class UserInterface;

// The "Hilfe" menu's commands: the installed guide and licence file, the configured addresses,
// and the two windows the program owns (debug viewer, about window).
class HelpCommands {
public:
    HelpCommands(Shell& shell, UserInterface& ui, CompanionProgram& companion, QString programFolder,
                 QString interfaceLanguage);

    // The program hands these in after creation (the windows are not this one's).
    std::function<void()> showDebugger;
    std::function<void()> showAbout;

    // The guide, or the page of one of its sections.
    void openGuide(const QString& section = {});
    void checkUpdates();
    void licences();
    void moreProjects();
    void sendMail();

private:
    // Opens a file of the installation, or tells the user that it is missing.
    void openHelpFile(const QString& path);
    // The configured address, else the guide's contact section.
    void openAddressOrContact(const QString& address);

    Shell& m_shell;
    UserInterface& m_ui;
    CompanionProgram& m_companion;
    QString m_programFolder;
    QString m_interfaceLanguage;
    helplinks::Addresses m_addresses;
};
