#pragma once

#include <QListWidget>
#include <QStringList>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "core/settings/kconfig.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "dialogs/configform.h"
#include "temphome.h"
#include "zipwriter.h"

namespace ktest {

// A configuration dialog over fresh settings, with the user and program
// folders in a temporary home and messages recorded.
class ConfigPageTest : public TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        kolvarin::UserPath = home().string() + "/";
        kolvarin::ApplicationPath = (dir().path() / "app").string() + "/";
        std::filesystem::create_directories(kolvarin::ApplicationPath + "data/languages");
        config_.SetDefaults();
        kolvarin::Config = &config_;
        kolvarin::SetDefaultLanguage(kolvarin::Language);
    }
    void TearDown() override
    {
        form_.reset();
        kolvarin::Config = nullptr;
        kolvarin::SetDefaultLanguage(kolvarin::Language);
        TempHomeTest::TearDown();
    }
    void package(const std::string& path, std::vector<ZipMember> members)
    {
        ZipArchive archive;
        archive.Members = std::move(members);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << WriteZip(archive);
    }
    void open()
    {
        form_ = std::make_unique<kolvarin::TfrmConfig>();
        form_->Hooks.ShowMessage = [this](const QString& text) { messages_ << text; };
        form_->show();
    }
    QStringList items(const char* list) const
    {
        QStringList names;
        auto* widget = form_->findChild<QListWidget*>(QString::fromLatin1(list));
        for (int i = 0; i < widget->count(); ++i)
            names << widget->item(i)->text();
        return names;
    }
    void pick(const char* list, const QString& name)
    {
        auto* widget = form_->findChild<QListWidget*>(QString::fromLatin1(list));
        widget->setCurrentItem(widget->findItems(name, Qt::MatchExactly).front());
    }

    kolvarin::TKConfig config_;
    std::unique_ptr<kolvarin::TfrmConfig> form_;
    QStringList messages_;
};

} // namespace ktest
