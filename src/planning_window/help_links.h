#pragma once

#include <QString>
#include <QUrl>

// Where the "Hilfe" menu leads: the user guide and the licence file installed beside the
// program, and the addresses a user or a distributor may configure. Nothing here is invented:
// an address that is not configured sends the user to the guide's own section instead.
namespace helplinks {

// Sections of the guide, the same anchors in every language (docs/guide/CMakeLists.txt builds a
// page for each).
inline constexpr char sectionContact[] = "kontakt";
inline constexpr char sectionPercentile[] = "perzentil";
inline constexpr char sectionVirtualDesktops[] = "desktops";
inline constexpr char sectionSharpDisplay[] = "hidpi";

// Addresses from the environment (TAKTPLAN_HOME_URL, TAKTPLAN_PROJECTS_URL,
// TAKTPLAN_CONTACT_MAIL), else from the build (the CMake options of the same names); empty when
// neither sets one.
struct Addresses {
    QString homePage;
    QString projectsPage;
    QString contactMail;

    static Addresses configured();
};

// The guide's language for the user-interface language: "de" or "en" (other languages read the
// English guide).
QString guideLanguage(const QString& interfaceLanguage);
// doc/taktplan-<language>.html in the program's folder; with a section, the page beside it that
// leads to that section (doc/taktplan-<language>-<section>.html): a file address with "#section"
// behind it loses that part in some desktops' openers.
QString guideFile(const QString& programFolder, const QString& interfaceLanguage,
                  const QString& section = {});
// doc/LICENCES.txt in the program's folder.
QString licenceFile(const QString& programFolder);
// A new message to the address with the program's subject and a short greeting.
QUrl mailUrl(const QString& address, const QString& version);

} // namespace helplinks
