#pragma once

#include <QByteArrayView>
#include <QString>

/// What the lemmatisation service takes from the body of one request.
struct ServiceForm
{
    QString words;    // WORDS as sent, line breaks and all
    QString program;  // PROGRAM and VERSION name the client, for the log only
    QString version;
    int status = 200;  // 400: the body cannot be read; 415: its type or charset is unknown
    QString error;     // the short reason for status; empty when the form was read
    bool ok() const { return error.isEmpty(); }
};

/// Reads an application/x-www-form-urlencoded body (a missing content type counts as one). Values
/// are decoded from the charset that contentType declares, UTF-8 when none; bytes that are not
/// valid in that charset, a broken %-escape, a repeated or missing WORDS fail the whole form.
ServiceForm readServiceForm(QByteArrayView contentType, QByteArrayView body);
