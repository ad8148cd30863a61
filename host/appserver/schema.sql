-- The application server's own tables ("RiveviVozodavE.dmReportCounter", docs/appserver.md).
-- Run after the company schema; every statement may run again without harm. Texts are UTF-8;
-- times are 'YYYY-MM-DD HH:NN:SS.ZZZ' texts, dates 'YYYYMMDD' texts.

-- Named condition sets, one per name, user and program (served as provider pvdConSave).
-- Names compare exactly: sets whose names differ only by letter case are two sets.
CREATE TABLE IF NOT EXISTS CONDITION_SET (
  NCONDITION  TEXT NOT NULL,             -- set name
  CREATOR     TEXT NOT NULL,             -- user code
  PROGRAMME   TEXT NOT NULL,             -- program code
  CREATE_DATE TEXT NOT NULL DEFAULT '',  -- YYYYMMDD
  SCONDITION  TEXT NOT NULL DEFAULT '',  -- property list: "component.property;" entries
  VCONDITION  TEXT NOT NULL DEFAULT '',  -- one value line per entry, each ended by CR LF
  PRIMARY KEY (NCONDITION, CREATOR, PROGRAMME)
);
CREATE INDEX IF NOT EXISTS CONDITION_SET_OWNER ON CONDITION_SET (CREATOR, PROGRAMME);

-- The source of job numbers: VALUE is the last sequence number handed out.
CREATE TABLE IF NOT EXISTS JOB_COUNTER (
  NAME  TEXT PRIMARY KEY,
  VALUE INTEGER NOT NULL
);
INSERT OR IGNORE INTO JOB_COUNTER (NAME, VALUE) VALUES ('JOB', 0);

-- Job requests, as Request (KIND 'REQUEST': for the job queue) and Request1 (KIND 'DIRECT':
-- run at once by the client) accepted them.
CREATE TABLE IF NOT EXISTS JOB_REQUEST (
  JOB_NO        TEXT PRIMARY KEY,          -- 8 base-36 digits + '0000'
  KIND          TEXT NOT NULL CHECK (KIND IN ('REQUEST', 'DIRECT')),
  PROGRAM_ID    TEXT NOT NULL,             -- environment element 1
  COMPANY       TEXT NOT NULL,             -- 4
  USER_ID       TEXT NOT NULL,             -- 5
  DB_NAME       TEXT NOT NULL,             -- 6
  COMPUTER_NAME TEXT,                      -- the client computer (Request1 only)
  SERVER_CLASS  TEXT NOT NULL,             -- 8
  PROGRAM_KIND  TEXT NOT NULL,             -- 9, lower case for a periodic job
  REQUEST_TIME  TEXT,                      -- 7, the client's time of the request
  RUN_MODE      INTEGER,                   -- 10: 0 job queue, 1 now, 2 at RUN_TIME; NULL when not sent
  RUN_TIME      TEXT,                      -- 11; the first run of a periodic job
  PAYLOAD       TEXT NOT NULL,             -- the whole payload, variant text (docs/appserver.md)
  PERIODIC      INTEGER NOT NULL DEFAULT 0,
  SCHED_TIME    TEXT,                      -- periodic: run time 'HH:MM'
  CYCLE_KIND    INTEGER,                   -- 0 daily, 1 weekly, 2 monthly, 3 hourly
  CYCLE         TEXT,                      -- the period definition, variant text
  RANGE_KIND    INTEGER,                   -- 0 no end, 1 after RUN_COUNT runs, 2 until END_DATE
  START_DATE    TEXT,                      -- YYYYMMDD
  END_DATE      TEXT,                      -- YYYYMMDD, range kind 2
  RUN_COUNT     INTEGER,                   -- range kind 1
  DATE_RULES    TEXT,                      -- the dynamic date rule list, variant text
  CREATE_TIME   TEXT NOT NULL,             -- server time of acceptance
  STATUS        TEXT NOT NULL,             -- QUEUED, DIRECT, RUNNING, DONE, FAILED, REPORTED
  STATUS_TIME   TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS JOB_REQUEST_STATUS ON JOB_REQUEST (STATUS, RUN_TIME);

-- What happened to jobs: runs started and ended by ExecSvrDLL, rows written by the program
-- server libraries, and the clients' reports through UpdateStatus1. A report may name a job
-- number this server never issued ("ERROR" after a refused request): it is kept all the same.
CREATE TABLE IF NOT EXISTS JOB_STATUS (
  ID          INTEGER PRIMARY KEY AUTOINCREMENT,
  JOB_NO      TEXT NOT NULL,
  SUB_JOB_NO  TEXT,
  STATUS      TEXT NOT NULL,             -- RUNNING, DONE, FAILED, RAN, REPORTED
  MESSAGE     TEXT NOT NULL DEFAULT '',
  REPORT_TIME TEXT,                      -- the reporter's own time (UpdateStatus1)
  SOURCE      TEXT NOT NULL,             -- 'ExecSvrDLL', 'UpdateStatus1' or the server library
  CREATE_TIME TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS JOB_STATUS_JOB ON JOB_STATUS (JOB_NO);

-- Rights answered by GetPower. '*' in a key column stands for any value; the most specific row
-- wins (an exact program first, then an exact user, then an exact database). Without a row the
-- user has no rights: the six-token text ',,,,,'.
CREATE TABLE IF NOT EXISTS USER_RIGHTS (
  DB_NAME     TEXT NOT NULL,
  USER_ID     TEXT NOT NULL,
  PROGRAM_ID  TEXT NOT NULL,
  RIGHTS      TEXT NOT NULL DEFAULT ',,,,,',  -- rights record element 1: six comma-separated tokens
  RIGHTS2     TEXT NOT NULL DEFAULT '',       -- element 2
  RIGHTS3     TEXT NOT NULL DEFAULT '',       -- element 3
  BASE_LIMIT  TEXT NOT NULL DEFAULT '',       -- element 4
  LIMIT_ITEMS TEXT NOT NULL DEFAULT '[]',     -- element 5's items: a JSON array of texts
  PRIMARY KEY (DB_NAME, USER_ID, PROGRAM_ID)
);
