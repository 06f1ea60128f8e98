#include "BaseFixtures.h"

#include "base/Document.h"
#include "base/WorkingFiles.h"
#include "seams/EventPump.h"

using namespace tervane;
using namespace tervane::test;

class DocumentTest : public QObject, private DocumentFixture {
    Q_OBJECT

private slots:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

    void newBaseStartsAnEmptyWorkingCopy_data() {
        QTest::addColumn<bool>("russian");
        QTest::addColumn<QString>("untitled");
        QTest::newRow("English") << false << "Data Base";
        QTest::newRow("Russian") << true << "База Данных";
    }

    void newBaseStartsAnEmptyWorkingCopy() {
        QFETCH(bool, russian);
        QFETCH(QString, untitled);
        setUiLanguage(russian ? UiLanguage::Russian : UiLanguage::English);
        Document doc;
        watch(doc);
        QVERIFY(openShop(doc));
        QVERIFY(doc.NewBase());
        QCOMPARE(doc.displayName(), untitled);
        QVERIFY(doc.savedBase().isEmpty());
        QCOMPARE(doc.currentPage(), -1);
        QVERIFY(!doc.modified());
        QVERIFY(doc.tree().isEmpty());
        QCOMPARE(workingFiles().size(), 3); // the old copy went before the new one was made
        QCOMPARE(readFileBytes(doc.workingBase() + ".dir"), directoryBytes({}, -1));
        QVERIFY(QFileInfo::exists(doc.workingBase() + ".dat"));
        QCOMPARE(QFileInfo(doc.workingBase() + ".dat").size(), 0);
        QCOMPARE(readBase(shop), shopBytes());
        QVERIFY(redraws > 0);
    }

    void modifiedDocumentAsksBeforeItGoes_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("russian");
        QTest::newRow("New, Cancel") << "new" << int(ButtonCancel) << false;
        QTest::newRow("Open, Cancel") << "open" << int(ButtonCancel) << false;
        QTest::newRow("Close, Cancel") << "close" << int(ButtonCancel) << false;
        QTest::newRow("New, No") << "new" << int(ButtonNo) << false;
        QTest::newRow("Open, No") << "open" << int(ButtonNo) << false;
        QTest::newRow("Close, No, Russian") << "close" << int(ButtonNo) << true;
        QTest::newRow("Close, Yes") << "close" << int(ButtonYes) << false;
    }

    void modifiedDocumentAsksBeforeItGoes() {
        QFETCH(QString, command);
        QFETCH(int, answer);
        QFETCH(bool, russian);
        QVERIFY(writeBase(keys + "/other", otherBytes()));
        Document doc;
        QVERIFY(openShop(doc));
        editComment(doc);
        const QString working = doc.workingBase();
        setUiLanguage(russian ? UiLanguage::Russian : UiLanguage::English);
        env->prompts.clear();
        if (command == "open")
            env->prompts.answerFile(keys + "/other.dir");
        env->prompts.answer(PromptButton(answer));

        const bool done = command == "new" ? doc.NewBase() : command == "open" ? doc.OpenBase() : doc.CloseBase();

        const ShownPrompt question = env->prompts.last();
        QCOMPARE(question.icon, PromptIcon::Question);
        QCOMPARE(question.caption, QString("Tervane"));
        QCOMPARE(question.text,
                 russian ? QString("Сохранить изменения в \"shop\" ?") : QString("Save changes in \"shop\" ?"));
        QCOMPARE(question.buttons, ButtonYes | ButtonNo | ButtonCancel);
        QCOMPARE(done, answer != ButtonCancel);
        if (answer == ButtonCancel) {
            QCOMPARE(doc.workingBase(), working);
            QCOMPARE(doc.savedBase(), shop);
            QVERIFY(doc.modified());
            QCOMPARE(doc.pageBuffer().comment(4), QByteArray("edited"));
            QVERIFY(QFileInfo::exists(working + ".dir") && QFileInfo::exists(working + ".dat"));
            QCOMPARE(doc.tree().size(), std::size_t(4));
        } else {
            QVERIFY(!doc.modified());
            QCOMPARE(workingFiles().size(), command == "close" ? 0 : 3);
            if (command == "new")
                QCOMPARE(readBase(doc.workingBase()), (BaseBytes{directoryBytes({}, -1), QByteArray("")}));
            if (command == "open")
                QCOMPARE(readBase(doc.workingBase()), otherBytes());
        }
        QCOMPARE(readBase(shop).dir, shopBytes().dir);
        QCOMPARE(commentOf(readFileBytes(shop + ".dat"), 0, 4),
                 answer == ButtonYes ? QByteArray("edited") : QByteArray());
        if (command == "close" && answer != ButtonCancel) {
            QVERIFY(!doc.isOpen());
            QVERIFY(doc.displayName().isEmpty());
            QVERIFY(doc.tree().isEmpty());
            QVERIFY(workingFiles().isEmpty());
        }
    }

    void openMakesAWorkingCopy() {
        // Taken names: a .dir file, a .dat folder.
        QVERIFY(writeFileBytes(temp() + "/rdb_temp_0.dir", "x"));
        QVERIFY(QDir().mkpath(temp() + "/rdb_temp_1.dat"));
        settings().setOpenFolder(QFile::encodeName(native(env->paths.root())));
        Document doc;
        watch(doc);
        env->prompts.answerFile(native(shop + ".dir"));
        QVERIFY(doc.OpenBase());

        const FileDialogRequest request = env->prompts.last().request;
        QCOMPARE(env->prompts.last().kind, ShownPrompt::OpenDialog);
        QCOMPARE(request.filter, QString("DataBase (*.dir)|*.dir"));
        QCOMPARE(request.defaultSuffix, QString(".dir"));
        QCOMPARE(request.startFolder, env->paths.root());
        QCOMPARE(QFile::decodeName(settings().openFolder()), native(keys));

        QCOMPARE(doc.workingBase(), temp() + "/rdb_temp_2");
        QCOMPARE(doc.savedBase(), shop);
        QCOMPARE(doc.displayName(), QString("shop"));
        QCOMPARE(readBase(doc.workingBase()), shopBytes());
        QVERIFY(QFileInfo::exists(doc.workingBase() + ".lck"));
        QCOMPARE(doc.tree().size(), std::size_t(4));
        QCOMPARE(doc.tree().selected()->text, QByteArray("House 1"));
        QCOMPARE(doc.currentPage(), 0);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(doc.pageBuffer().data()), kPage),
                 shopBytes().dat.left(kPage));
        QVERIFY(!doc.modified());
        QVERIFY(redraws > 0);
        QCOMPARE(env->prompts.shown().size(), 1);
    }

    void openWithAFileMissing_data() {
        QTest::addColumn<QString>("missing");
        QTest::newRow(".dat missing") << ".dat";
        QTest::newRow(".dir missing") << ".dir";
    }

    void openWithAFileMissing() {
        QFETCH(QString, missing);
        Document doc;
        QVERIFY(doc.NewBase());
        QVERIFY(QFile::remove(shop + missing));
        env->prompts.answerFile(shop + ".dir");
        env->prompts.answer(ButtonOk);
        QVERIFY(!doc.OpenBase());
        QCOMPARE(env->prompts.last().icon, PromptIcon::Error);
        QCOMPARE(env->prompts.last().text, "Open file error: \"" + native(shop + missing) + "\"");
        QVERIFY2(workingFiles().isEmpty(), qPrintable(workingFiles().join(' ')));
        QVERIFY(!doc.isOpen());
        QVERIFY(doc.savedBase().isEmpty());
        QVERIFY(doc.tree().isEmpty());
    }

    void openingTheOpenBaseAgain_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("OK reloads") << int(ButtonOk);
        QTest::newRow("Cancel keeps the edit") << int(ButtonCancel);
    }

    void openingTheOpenBaseAgain() {
        QFETCH(int, answer);
        Document doc;
        QVERIFY(openShop(doc));
        editComment(doc);
        env->prompts.clear();
        env->prompts.answerFile(shop + ".dir");
        env->prompts.answer(PromptButton(answer));
        QCOMPARE(doc.OpenBase(), answer == ButtonOk);

        QCOMPARE(env->prompts.shown().size(), 2); // the dialog and one question, no save question
        const ShownPrompt question = env->prompts.last();
        QCOMPARE(question.icon, PromptIcon::Question);
        QCOMPARE(question.caption, QString("Tervane"));
        QCOMPARE(question.text, "File \"" + native(shop + ".dir") + "\" is already opened. Open file again ?");
        QCOMPARE(question.buttons, ButtonOk | ButtonCancel);
        QCOMPARE(doc.modified(), answer != ButtonOk);
        QCOMPARE(doc.pageBuffer().comment(4), answer == ButtonOk ? QByteArray() : QByteArray("edited"));
        QCOMPARE(readBase(shop), shopBytes());
        QCOMPARE(workingFiles().size(), 3); // .dir, .dat and the lock of one copy
    }

    void alreadyOpenQuestionInRussian() {
        Document doc;
        QVERIFY(openShop(doc));
        setUiLanguage(UiLanguage::Russian);
        env->prompts.answerFile(shop + ".dir");
        env->prompts.answer(ButtonCancel);
        QVERIFY(!doc.OpenBase());
        QCOMPARE(env->prompts.last().text, "Файл \"" + native(shop + ".dir") + "\" уже открыт. Открыть файл заново ?");
    }

    void saveOfANeverSavedDocumentAsksForAName() {
        settings().setSaveFolder(QFile::encodeName(native(keys)));
        Document doc;
        watch(doc);
        QVERIFY(doc.NewBase());
        env->prompts.answerFile(keys + "/fresh.dir");
        QVERIFY(doc.SaveBase());

        const ShownPrompt dialog = env->prompts.last();
        QCOMPARE(dialog.kind, ShownPrompt::SaveDialog);
        QCOMPARE(dialog.request.filter, QString("DataBase|*.dir"));
        QCOMPARE(dialog.request.defaultSuffix, QString(".dir"));
        QVERIFY(dialog.request.confirmOverwrite);
        QVERIFY(dialog.request.fileName.isEmpty());
        QCOMPARE(dialog.request.startFolder, keys);

        QCOMPARE(doc.savedBase(), keys + "/fresh");
        QCOMPARE(doc.displayName(), QString("fresh"));
        QVERIFY(!doc.modified());
        QCOMPARE(readBase(keys + "/fresh"), (BaseBytes{directoryBytes({}, -1), QByteArray("")}));
        QCOMPARE(filesIn(keys), QStringList({"fresh.dat", "fresh.dir", "shop.dat", "shop.dir"}));

        // Saved now: Save asks nothing, Save As offers the saved name.
        doc.setModified();
        QVERIFY(doc.SaveBase());
        env->prompts.answerFile(std::nullopt);
        QVERIFY(!doc.SaveBaseAs());
        QCOMPARE(env->prompts.last().request.fileName, keys + "/fresh.dir");
    }

    void saveAsMovesTheDocument() {
        settings().setSaveFolder(QFile::encodeName(native(env->paths.root())));
        Document doc;
        QVERIFY(openShop(doc));
        editComment(doc);
        QVERIFY(QDir().mkpath(keys + "/copies"));
        env->prompts.answerFile(native(keys + "/copies/shop2.dir"));
        QVERIFY(doc.SaveBaseAs());
        QCOMPARE(env->prompts.last().request.fileName, shop + ".dir");
        QCOMPARE(env->prompts.last().request.startFolder, env->paths.root());
        QCOMPARE(QFile::decodeName(settings().saveFolder()), native(keys + "/copies"));
        QCOMPARE(doc.savedBase(), keys + "/copies/shop2");
        QCOMPARE(doc.displayName(), QString("shop2"));
        QCOMPARE(readBase(shop), shopBytes());
        QCOMPARE(commentOf(readFileBytes(keys + "/copies/shop2.dat"), 0, 4), QByteArray("edited"));
    }

    void selectingNodes() {
        Document doc;
        QVERIFY(openShop(doc));
        BaseTree& tree = doc.tree();

        tree.select(nodeNamed(tree, "Street"));
        QVERIFY(doc.SelectNode());
        QCOMPARE(doc.currentPage(), -1);
        QVERIFY(doc.modified());

        doc.setModified(false);
        tree.select(nodeNamed(tree, "House 2"));
        QVERIFY(doc.SelectNode());
        QCOMPARE(doc.currentPage(), 1);
        QCOMPARE(doc.pageBuffer().comment(0), QByteArray("page 1"));
        QVERIFY(doc.modified());

        doc.setModified(false);
        QVERIFY(doc.SelectNode());
        QVERIFY2(!doc.modified(), "selecting the same file again is no change");

        // Leaving a changed page writes it to the working page file first.
        editComment(doc, "on page 1");
        tree.select(nodeNamed(tree, "House 1"));
        QVERIFY(doc.SelectNode());
        QCOMPARE(doc.currentPage(), 0);
        QCOMPARE(commentOf(readFileBytes(doc.workingPageFile()), 1, 4), QByteArray("on page 1"));
        QCOMPARE(readBase(shop), shopBytes());

        tree.select(nullptr);
        QVERIFY(doc.SelectNode());
        QCOMPARE(doc.currentPage(), 0);
    }

    void aNewNodeWhereAnOldOneWasIsAnotherNode() {
        Document doc;
        QVERIFY(openShop(doc));
        BaseTree& tree = doc.tree();
        BaseNode* street = nodeNamed(tree, "Street");
        tree.select(nodeNamed(tree, "House 2"));
        QVERIFY(doc.SelectNode());
        doc.setModified(false);
        tree.remove(nodeNamed(tree, "House 2"));
        // Freed and reallocated at once, the new node most likely gets the old address.
        BaseNode* fresh = tree.addChild(street);
        fresh->text = "House 3";
        fresh->imageIndex = ImageFile;
        fresh->selectedIndex = ImageFileSelected;
        fresh->pageNumber = 1;
        tree.select(fresh);
        QVERIFY(doc.SelectNode());
        QVERIFY(doc.modified());
    }

    void shutdown_data() {
        QTest::addColumn<int>("policy");
        QTest::addColumn<bool>("neverSaved");
        QTest::addColumn<int>("answer"); // the save question's answer, 0: no question
        QTest::addColumn<int>("dialog"); // 0 no save dialog, 1 cancelled, 2 a name chosen
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saves");
        QTest::newRow("0 saves without asking") << 0 << false << 0 << 0 << true << true;
        QTest::newRow("0 never saved, dialog cancelled") << 0 << true << 0 << 1 << false << false;
        QTest::newRow("0 never saved, name chosen") << 0 << true << 0 << 2 << true << true;
        QTest::newRow("1 Yes") << 1 << false << int(ButtonYes) << 0 << true << true;
        QTest::newRow("1 No") << 1 << false << int(ButtonNo) << 0 << true << false;
        QTest::newRow("1 Cancel") << 1 << false << int(ButtonCancel) << 0 << false << false;
        QTest::newRow("1 never saved, Yes, cancelled") << 1 << true << int(ButtonYes) << 1 << false << false;
        QTest::newRow("2 drops without asking") << 2 << false << 0 << 0 << true << false;
        QTest::newRow("2 never saved") << 2 << true << 0 << 0 << true << false;
    }

    void shutdown() {
        QFETCH(int, policy);
        QFETCH(bool, neverSaved);
        QFETCH(int, answer);
        QFETCH(int, dialog);
        QFETCH(bool, closes);
        QFETCH(bool, saves);
        settings().setLastBasePath("before");
        Document doc;
        if (neverSaved) {
            QVERIFY(doc.NewBase());
            doc.setModified();
        } else {
            QVERIFY(openShop(doc));
            editComment(doc);
        }
        env->prompts.clear();
        if (answer)
            env->prompts.answer(PromptButton(answer));
        if (dialog)
            env->prompts.answerFile(dialog == 2 ? std::optional<QString>(keys + "/first.dir") : std::nullopt);

        const bool closed = doc.AskSaveChanges(SavePolicy(policy));
        if (closed) {
            doc.storeLastBasePath();
            doc.releaseAtExit();
        }
        QCOMPARE(closed, closes);

        QCOMPARE(env->prompts.shown().size(), (answer ? 1 : 0) + (dialog ? 1 : 0));
        if (dialog) {
            QCOMPARE(env->prompts.last().request.fileName, QString("Data Base.dir"));
            QVERIFY(env->prompts.last().request.startFolder.isEmpty());
        }
        const QString target = neverSaved ? keys + "/first" : shop;
        if (saves && neverSaved)
            QCOMPARE(readBase(target), (BaseBytes{directoryBytes({}, -1), QByteArray("")}));
        else
            QCOMPARE(commentOf(readOrNull(target + ".dat"), 0, 4), saves ? QByteArray("edited") : QByteArray());
        if (!saves)
            QCOMPARE(readBase(shop), shopBytes());
        if (closes) {
            QVERIFY(workingFiles().isEmpty());
            const bool hasPath = !neverSaved || saves;
            QCOMPARE(QFile::decodeName(settings().lastBasePath()), hasPath ? native(target) : QString());
        } else {
            QVERIFY(doc.modified());
            QCOMPARE(workingFiles().size(), 3);
            QCOMPARE(settings().lastBasePath(), QByteArray("before"));
        }
    }

    void reopenLastBase_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("opens");
        QTest::newRow("both files") << "" << true;
        QTest::newRow(".dat missing") << "no dat" << false;
        QTest::newRow("no last base") << "no path" << false;
        QTest::newRow("save cut before the .dir rename") << "pending dir" << true;
    }

    void reopenLastBase() {
        QFETCH(QString, setup);
        QFETCH(bool, opens);
        settings().setLastBasePath(setup == "no path" ? QByteArray() : QFile::encodeName(native(shop)));
        if (setup == "no dat")
            QVERIFY(QFile::remove(shop + ".dat"));
        if (setup == "pending dir")
            QVERIFY(QFile::rename(shop + ".dir", savingTempPath(shop, ".dir")));
        Document doc;
        watch(doc);
        VirtualEventPump pump;
        doc.ReopenLastBase();
        QVERIFY(env->prompts.shown().isEmpty());
        QCOMPARE(pump.processCalls, 1);
        QVERIFY(redraws > 0);
        QVERIFY(!doc.modified());
        QCOMPARE(doc.isOpen(), opens);
        if (opens) {
            QCOMPARE(doc.savedBase(), shop);
            QCOMPARE(doc.displayName(), QString("shop"));
            QCOMPARE(doc.currentPage(), 0);
            QCOMPARE(doc.pageBuffer().comment(0), QByteArray("page 0"));
            QCOMPARE(readBase(shop), shopBytes());
        } else {
            QVERIFY(workingFiles().isEmpty());
            QCOMPARE(doc.currentPage(), -1);
        }
    }
};

QTEST_GUILESS_MAIN(DocumentTest)
#include "tst_Document.moc"
