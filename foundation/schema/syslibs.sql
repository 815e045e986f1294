-- The database shipped with the program. The build turns this script into an
-- encrypted syslibs.dll in the program folder when that folder has none.
-- Texts that the program matches ignoring letter case are declared COLLATE NOCASE.

CREATE TABLE [users] (
    [username] TEXT(50) NOT NULL COLLATE NOCASE,
    [userpwd] TEXT(50) NOT NULL DEFAULT '',
    [regdate] DATETIME,
    [logintime] INTEGER NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX [users_username] ON [users]([username]);

CREATE TABLE [autouser] (
    [username] TEXT(50) NOT NULL COLLATE NOCASE,
    [userpwd] TEXT(50) NOT NULL DEFAULT '',
    [focusUser] INT,
    [loginDateTime] DATETIME
);
CREATE INDEX [autouser_username] ON [autouser]([username]);

CREATE TABLE [pursewicks] (
    [ID] INTEGER PRIMARY KEY AUTOINCREMENT,
    [username] TEXT(50) NOT NULL COLLATE NOCASE,
    [typeid] INTEGER,
    [postdate] DATETIME NOT NULL,
    [money] REAL NOT NULL DEFAULT 0,
    [style] INTEGER NOT NULL,
    [memo] TEXT
);
-- The ledger lists: one user's records of one class in date order.
CREATE INDEX [pursewicks_owner_class_date] ON [pursewicks]([username], [style], [postdate], [ID]);
-- The lists sorted by a column, read a page at a time: by day then ID, by amount in cents,
-- by remark in the lists' text order; equal values then by postdate and ID.
CREATE INDEX [pursewicks_owner_class_day] ON [pursewicks]([username], [style], substr([postdate], 1, 10), [ID]);
CREATE INDEX [pursewicks_owner_class_amount] ON [pursewicks]([username], [style], cents([money]), [postdate], [ID]);
CREATE INDEX [pursewicks_owner_class_memo] ON [pursewicks]([username], [style], textkey([memo]), [postdate], [ID]);
-- Each user's number of records and their sum in cents per class and day, kept by the
-- engine itself: the totals of a period cost a few thousand rows, not a million.
CREATE TABLE [pursewicksDays]([username] text(50) NOT NULL COLLATE NOCASE,[style] INTEGER NOT NULL,[day] TEXT NOT NULL,[n] INTEGER NOT NULL,[cents] INTEGER NOT NULL,PRIMARY KEY([username],[style],[day]));
CREATE TRIGGER [pursewicks_days_insert] AFTER INSERT ON [pursewicks] BEGIN
    INSERT OR IGNORE INTO [pursewicksDays] VALUES(NEW.username,NEW.style,substr(NEW.postdate,1,10),0,0);
    UPDATE [pursewicksDays] SET [n]=[n]+1,[cents]=[cents]+cents(NEW.money) WHERE [username]=NEW.username AND [style]=NEW.style AND [day]=substr(NEW.postdate,1,10);
END;
CREATE TRIGGER [pursewicks_days_delete] AFTER DELETE ON [pursewicks] BEGIN
    UPDATE [pursewicksDays] SET [n]=[n]-1,[cents]=[cents]-cents(OLD.money) WHERE [username]=OLD.username AND [style]=OLD.style AND [day]=substr(OLD.postdate,1,10);
END;
CREATE TRIGGER [pursewicks_days_update] AFTER UPDATE OF [username],[style],[postdate],[money] ON [pursewicks] BEGIN
    UPDATE [pursewicksDays] SET [n]=[n]-1,[cents]=[cents]-cents(OLD.money) WHERE [username]=OLD.username AND [style]=OLD.style AND [day]=substr(OLD.postdate,1,10);
    INSERT OR IGNORE INTO [pursewicksDays] VALUES(NEW.username,NEW.style,substr(NEW.postdate,1,10),0,0);
    UPDATE [pursewicksDays] SET [n]=[n]+1,[cents]=[cents]+cents(NEW.money) WHERE [username]=NEW.username AND [style]=NEW.style AND [day]=substr(NEW.postdate,1,10);
END;

CREATE TABLE [types] (
    [ID] INTEGER PRIMARY KEY AUTOINCREMENT,
    [typename] TEXT(50) NOT NULL COLLATE NOCASE,
    [class] INTEGER NOT NULL,
    [username] TEXT(50) COLLATE NOCASE
);
CREATE INDEX [types_class_owner] ON [types]([class], [username]);

CREATE TABLE [banks] (
    [ID] INTEGER PRIMARY KEY AUTOINCREMENT,
    [username] TEXT(50) NOT NULL COLLATE NOCASE,
    [bankAddr] TEXT,
    [bankRegdate] DATETIME,
    [bankName] TEXT,
    [bankUsername] TEXT,
    [bankID] TEXT COLLATE NOCASE,
    [bankCardID] TEXT,
    [bankMoney] REAL,
    [bankMemo] TEXT
);
CREATE INDEX [banks_owner] ON [banks]([username], [ID]);

CREATE TABLE [MyNotes]([ID] INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL,[username] text(50) NOT NULL COLLATE NOCASE,[fontBold] text(50),[fontItalic] text(50),[fontName] text(200),[fontSize] text(50),[foreColor] text(50),[noteDateTime] datetime NOT NULL,[noteContent] memo NOT NULL);
CREATE INDEX [MyNotes_owner_date] ON [MyNotes]([username], [noteDateTime]);
-- Each user's number of notes, kept by the engine itself: counting 100,000 notes at every
-- page of the memo list would cost more than the page.
CREATE TABLE [MyNotesCount]([username] text(50) PRIMARY KEY NOT NULL COLLATE NOCASE,[n] INTEGER NOT NULL);
CREATE TRIGGER [MyNotes_count_insert] AFTER INSERT ON [MyNotes] BEGIN
    INSERT OR IGNORE INTO [MyNotesCount]([username],[n]) VALUES(NEW.username,0);
    UPDATE [MyNotesCount] SET [n]=[n]+1 WHERE [username]=NEW.username;
END;
CREATE TRIGGER [MyNotes_count_delete] AFTER DELETE ON [MyNotes] BEGIN
    UPDATE [MyNotesCount] SET [n]=[n]-1 WHERE [username]=OLD.username;
END;
CREATE TRIGGER [MyNotes_count_owner] AFTER UPDATE OF [username] ON [MyNotes] BEGIN
    UPDATE [MyNotesCount] SET [n]=[n]-1 WHERE [username]=OLD.username;
    INSERT OR IGNORE INTO [MyNotesCount]([username],[n]) VALUES(NEW.username,0);
    UPDATE [MyNotesCount] SET [n]=[n]+1 WHERE [username]=NEW.username;
END;

-- The first password of "admin" is "admin"; the README asks the user to change it.
INSERT INTO [users]([username], [userpwd], [regdate], [logintime])
    VALUES ('admin', 'admin', strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'), 0);

-- The built-in categories are added by the build from the data library's own list.

-- Bill import: each imported statement line of a user by the provider's transaction
-- number (or its moment, amount and counterparty when it has none), so that nothing comes
-- in twice; the record it became, its import, and whether the record changed since.
CREATE TABLE [importbatches] ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [username] TEXT(50) NOT NULL COLLATE NOCASE, [importdate] DATETIME NOT NULL, [provider] TEXT NOT NULL);
CREATE TABLE [importedtx] ([username] TEXT(50) NOT NULL COLLATE NOCASE, [provider] TEXT NOT NULL, [txno] TEXT NOT NULL, [recordid] INTEGER NOT NULL, [batchid] INTEGER NOT NULL, [counterparty] TEXT NOT NULL DEFAULT '', [changed] INTEGER NOT NULL DEFAULT 0);
CREATE UNIQUE INDEX [importedtx_key] ON [importedtx]([username], [provider], [txno]);
CREATE INDEX [importedtx_record] ON [importedtx]([recordid]);
CREATE INDEX [importedtx_batch] ON [importedtx]([batchid]);
CREATE TRIGGER [importedtx_touched] AFTER UPDATE ON [pursewicks] BEGIN UPDATE [importedtx] SET [changed]=1 WHERE [recordid]=NEW.ID; END;
-- The user's rules: a counterparty or goods containing the pattern gets the category.
CREATE TABLE [importrules] ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [username] TEXT(50) NOT NULL COLLATE NOCASE, [pattern] TEXT NOT NULL, [class] INTEGER NOT NULL, [typename] TEXT NOT NULL);
CREATE INDEX [importrules_owner] ON [importrules]([username], [ID]);

-- The recycle bin: what a user deleted, an entry per delete command, until restored or erased.
-- The records leave pursewicks, so no list, total or per-day sum ever reads them.
CREATE TABLE [binEntries] ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [username] TEXT(50) NOT NULL COLLATE NOCASE, [kind] TEXT NOT NULL, [command] TEXT NOT NULL, [deletedAt] DATETIME NOT NULL, [count] INTEGER NOT NULL);
CREATE INDEX [binEntries_owner] ON [binEntries]([username], [ID]);
-- Each bin table is kept in entry order, so that a delete appends and a restore reads one run.
CREATE TABLE [pursewicksBin] ([binEntry] INTEGER NOT NULL, [ID] INTEGER NOT NULL, [username] TEXT(50) NOT NULL COLLATE NOCASE, [typeid] INTEGER, [postdate] DATETIME NOT NULL, [money] REAL NOT NULL DEFAULT 0, [style] INTEGER NOT NULL, [memo] TEXT, [typeGone] INTEGER NOT NULL DEFAULT 0, PRIMARY KEY([binEntry], [ID])) WITHOUT ROWID;
CREATE TABLE [banksBin] ([binEntry] INTEGER NOT NULL, [ID] INTEGER NOT NULL, [username] TEXT(50) NOT NULL COLLATE NOCASE, [bankAddr] TEXT, [bankRegdate] DATETIME, [bankName] TEXT, [bankUsername] TEXT, [bankID] TEXT COLLATE NOCASE, [bankCardID] TEXT, [bankMoney] REAL, [bankMemo] TEXT, PRIMARY KEY([binEntry], [ID])) WITHOUT ROWID;
CREATE TABLE [MyNotesBin] ([binEntry] INTEGER NOT NULL, [ID] INTEGER NOT NULL, [username] text(50) NOT NULL COLLATE NOCASE, [fontBold] text(50), [fontItalic] text(50), [fontName] text(200), [fontSize] text(50), [foreColor] text(50), [noteDateTime] datetime NOT NULL, [noteContent] memo NOT NULL, PRIMARY KEY([binEntry], [ID])) WITHOUT ROWID;
-- An undone import's ties to the bill, so that its restore still keeps the bill's lines from coming in twice.
CREATE TABLE [importbatchesBin] ([binEntry] INTEGER NOT NULL, [ID] INTEGER NOT NULL, [username] TEXT(50) NOT NULL COLLATE NOCASE, [importdate] DATETIME NOT NULL, [provider] TEXT NOT NULL, PRIMARY KEY([binEntry], [ID])) WITHOUT ROWID;
CREATE TABLE [importedtxBin] ([binEntry] INTEGER NOT NULL, [username] TEXT(50) NOT NULL COLLATE NOCASE, [provider] TEXT NOT NULL, [txno] TEXT NOT NULL, [recordid] INTEGER NOT NULL, [batchid] INTEGER NOT NULL, [counterparty] TEXT NOT NULL DEFAULT '', [changed] INTEGER NOT NULL DEFAULT 0, PRIMARY KEY([binEntry], [provider], [txno])) WITHOUT ROWID;
