-- The demo users' rights on KPAB02, in the application server's table USER_RIGHTS (run when that
-- table exists). RIGHTS holds the six rights tokens; the fourth one's characters 7 and 8 are the
-- two rights flags. BASE_LIMIT names the master table the user's look-ups are limited in and
-- LIMIT_ITEMS the codes of that table the user may see (docs/manager.md, BaseLimited).
INSERT INTO USER_RIGHTS (DB_NAME, USER_ID, PROGRAM_ID, RIGHTS, RIGHTS2, RIGHTS3, BASE_LIMIT, LIMIT_ITEMS) VALUES
    ('KPADB', 'ADMIN', 'KPAB02', 'Y,Y,Y,YYYYYYYY,Y,Y', '', '', '', '[]'),
    ('KPADB', 'U001', 'KPAB02', 'Y,Y,N,YYYYYYNN,N,N', '', '', '', '[]'),
    ('KPADB', 'U002', 'KPAB02', 'Y,N,N,YYYYYNNN,N,N', '', '', 'ADMMB', '["KPAH01","KPAH02","KPAH03","KPAH04","KPAH05"]'),
    ('KPADB', 'U003', 'KPAB02', 'Y,N,N,YYYYYNNN,N,N', '', '', '', '[]');
