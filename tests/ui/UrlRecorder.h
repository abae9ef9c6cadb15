// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QUrl>

#include <vector>

// Stands in for the desktop's viewer: remembers the URLs it is asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.push_back(url); }
};
