// Where the product lives on the web and by mail: the one place these addresses are kept.
#pragma once

#include <QString>
#include <QUrl>

namespace ProductAddresses {

inline const QString kWebSite = QStringLiteral("https://www.brivel.example/");
inline const QString kHomePage = QStringLiteral("index.htm");
inline const QString kSupportMail = QStringLiteral("support@brivel.example");
inline const QString kSalesMail = QStringLiteral("sales@brivel.example");

inline QUrl homePage()
{
    return QUrl(kWebSite + kHomePage);
}

inline QUrl mailTo(const QString &address)
{
    return QUrl(QStringLiteral("mailto:") + address);
}

} // namespace ProductAddresses
