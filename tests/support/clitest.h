#pragma once

#include "cli/cli.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

/// What one in-process run of lexorum-cli gave.
struct CliRun
{
    int status = 0;
    QByteArray out;
    QString err;
    QStringList errLines() const { return err.split(u'\n', Qt::SkipEmptyParts); }
};

/// Runs lexorum-cli in process, with files in a temporary folder.
class CliTest : public ::testing::Test
{
protected:
    CliRun run(const QStringList &args) const
    {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        CliRun r;
        r.status = runCli(args, CliStreams{out, err});
        r.out = out.data();
        r.err = QString::fromUtf8(err.data());
        return r;
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString file(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QByteArray contents(const QString &name) const
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        return f.readAll();
    }

    QTemporaryDir m_dir;
};
