// Pages that lie outside the program: the help page and the release history
// beside it, and the makers' web pages. Each is handed to the desktop's default
// handler and left to it: nothing is waited for, checked or reported.
#pragma once

#include <QString>

namespace app {

// The makers' web site: scheme and host only, without a trailing "/".
inline constexpr char kMakersSite[] = "https://corvane.example.com";
// Where translations are sent.
inline constexpr char kMakersMail[] = "translations@corvane.example.com";

// The makers' home page, as the about box shows it.
QString HomePageAddress();
// The program folder's Guida/Guida.html and Versioni.txt, taken anew at each call.
QString HelpPagePath();
QString VersionHistoryPath();
// The product page (where updates are found) and the donation page.
QString ProductPageAddress();
QString DonationPageAddress();

// Starts the opening of a file or address; errors are ignored.
void OpenPage(const QString& target);

}  // namespace app
