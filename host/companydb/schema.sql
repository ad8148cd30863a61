-- The company database: the tables the suite's clients read through the manager object and
-- write from the batch forms. Texts are UTF-8. Column names are the suite's own; the comment
-- beside each says what it holds. docs/companydb.md describes the tables and their queries.

-- Companies served by this database, and the database name their clients use.
CREATE TABLE COMPANIES (
    COMPANY  TEXT NOT NULL PRIMARY KEY,       -- company code (context element 1)
    DBNAME   TEXT NOT NULL,                   -- database name (context element 2)
    TITLE    TEXT NOT NULL DEFAULT ''         -- company title
);

-- System information per company, answered by the counter service's GetSysInfo.
CREATE TABLE SYSINFO (
    COMPANY  TEXT NOT NULL REFERENCES COMPANIES (COMPANY) ON DELETE CASCADE,
    ITEM     TEXT NOT NULL,                   -- Sys001, Sys002, TGK002, SYS007 ...
    VALUE    TEXT NOT NULL DEFAULT '',
    PRIMARY KEY (COMPANY, ITEM)
);

-- The message catalogue behind the manager's GetMessage: one text per type letter and number,
-- with the format placeholders the callers fill.
CREATE TABLE MSGCATALOG (
    MSGTYPE  TEXT NOT NULL CHECK (length(MSGTYPE) = 1),
    MSGNO    TEXT NOT NULL CHECK (length(MSGNO) = 6 AND MSGNO NOT GLOB '*[^0-9]*'),
    MSGTEXT  TEXT NOT NULL,
    PRIMARY KEY (MSGTYPE, MSGNO)
);

-- Program master: programs and the published documents of the suite.
CREATE TABLE ADMMB (
    MB001    TEXT NOT NULL PRIMARY KEY,       -- program code
    MB002    TEXT NOT NULL,                   -- name
    MB003    TEXT NOT NULL DEFAULT '',        -- kind: B batch, R report, H published document
    MB004    TEXT NOT NULL DEFAULT '',        -- system code (KPA)
    MB005    TEXT NOT NULL DEFAULT 'N',       -- Y: the program writes a log
    MB006    TEXT NOT NULL DEFAULT '',        -- help number
    MB007    TEXT NOT NULL DEFAULT '',        -- version
    MB008    TEXT NOT NULL DEFAULT '',        -- English name
    MB009    TEXT NOT NULL DEFAULT 'N',       -- Y: no direct processing on the client
    MB010    TEXT NOT NULL DEFAULT ''         -- products that have it, comma list of codes; empty: all
);

-- Systems of the suite and where their documents are published.
CREATE TABLE ADMMS (
    MS001    TEXT NOT NULL PRIMARY KEY,       -- system code
    MS002    TEXT NOT NULL DEFAULT '',        -- name
    MS003    TEXT NOT NULL DEFAULT '',        -- base address of the published documents (web address or folder)
    MS004    TEXT NOT NULL DEFAULT ''         -- remark
);

-- Condition sets, under the suite's name. The sets are kept by the application server in its
-- table CONDITION_SET (host/appserver/schema.sql, run after this script), so that a set saved
-- through the server is the one the save dialog's look-up finds.
CREATE VIEW GENES AS
    SELECT NCONDITION, CREATOR, PROGRAMME, CREATE_DATE, SCONDITION, VCONDITION FROM CONDITION_SET;

-- Users of the suite.
CREATE TABLE TGKMA (
    MA001    TEXT NOT NULL PRIMARY KEY,       -- user code
    MA002    TEXT NOT NULL DEFAULT '',        -- name
    MA003    TEXT NOT NULL DEFAULT '',        -- mobile number
    MA004    TEXT NOT NULL DEFAULT '',        -- e-mail address
    MA005    TEXT NOT NULL DEFAULT '1',       -- kind: 1 system user
    MA006    TEXT NOT NULL DEFAULT '',        -- department
    MA007    TEXT NOT NULL DEFAULT 'N'        -- Y: stopped, no longer offered
);

-- Settings of the suite: portal, product.
CREATE TABLE TGKINTMA (
    MA001    TEXT NOT NULL PRIMARY KEY,       -- setting name
    MA002    TEXT NOT NULL DEFAULT '',        -- description
    MA003    TEXT NOT NULL DEFAULT ''         -- value
);

-- Message templates: a head per template ...
CREATE TABLE TMCMC (
    MC001    TEXT NOT NULL,                   -- template group
    MC002    TEXT NOT NULL,                   -- template code
    MC003    TEXT NOT NULL DEFAULT '',        -- name
    MC004    TEXT NOT NULL DEFAULT '',        -- remark
    MC005    TEXT NOT NULL DEFAULT '',        -- program code
    PRIMARY KEY (MC001, MC002)
);

-- ... and its lines, one per kind of message.
CREATE TABLE TMCMD (
    MD001    TEXT NOT NULL,
    MD002    TEXT NOT NULL,
    MD003    TEXT NOT NULL,                   -- line number
    MD004    TEXT NOT NULL DEFAULT '',        -- kind: 6 task message
    MD005    TEXT NOT NULL DEFAULT '',        -- name
    MD006    TEXT NOT NULL DEFAULT '',        -- sender
    MD007    TEXT,                            -- template: receivers and title as XML || body || further text
    PRIMARY KEY (MD001, MD002, MD003),
    FOREIGN KEY (MD001, MD002) REFERENCES TMCMC (MC001, MC002) ON DELETE CASCADE
);

-- Message queue: messages waiting to be sent ...
CREATE TABLE ADMTC (
    TC001       TEXT NOT NULL PRIMARY KEY,    -- number: day YYYYMMDD + six digits
    TC002       TEXT NOT NULL DEFAULT '',     -- user who queued it
    TC003       TEXT NOT NULL DEFAULT '',     -- receivers (XML, root element Root)
    TC004       TEXT NOT NULL DEFAULT '',     -- time YYYYMMDDHHNNSSZZZ
    TC005       TEXT NOT NULL DEFAULT 'N',    -- Y: sent
    TC006       TEXT NOT NULL DEFAULT '',     -- title
    TC007       TEXT NOT NULL DEFAULT '',     -- further text
    TC008       TEXT NOT NULL DEFAULT '',     -- body
    TC009       TEXT NOT NULL DEFAULT '',     -- kind: 4 task message
    COMPANY     TEXT NOT NULL DEFAULT '',
    CREATOR     TEXT NOT NULL DEFAULT '',
    CREATE_DATE TEXT NOT NULL DEFAULT '',     -- YYYYMMDDHHNNSSZZZ
    FLAG        INTEGER NOT NULL DEFAULT 1
);

-- ... and the messages already sent, numbered in the same series.
CREATE TABLE ADMTD (
    TD001       TEXT NOT NULL PRIMARY KEY,
    TD002       TEXT NOT NULL DEFAULT '',
    TD003       TEXT NOT NULL DEFAULT '',
    TD004       TEXT NOT NULL DEFAULT '',
    TD005       TEXT NOT NULL DEFAULT 'Y',
    TD006       TEXT NOT NULL DEFAULT '',
    TD007       TEXT NOT NULL DEFAULT '',
    TD008       TEXT NOT NULL DEFAULT '',
    TD009       TEXT NOT NULL DEFAULT '',
    COMPANY     TEXT NOT NULL DEFAULT '',
    CREATOR     TEXT NOT NULL DEFAULT '',
    CREATE_DATE TEXT NOT NULL DEFAULT '',
    FLAG        INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX ADMTC_TIME ON ADMTC (TC004);
CREATE INDEX ADMTD_TIME ON ADMTD (TD004);
