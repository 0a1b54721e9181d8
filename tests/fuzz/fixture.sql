-- Rows the whole-request fuzz target adds to db/schema.sql and db/seed.sql:
-- accounts of every level (the harness sets their passwords and sessions),
-- stored texts of every kind a request may have left (quotes, backslashes,
-- markup, control characters, line separators, multi-byte and broken UTF-8),
-- failed logins and entries in both address lists. scripts/run-fuzz builds
-- the database-upload seed from the same three files.
insert into user2 (id,nm,pw,memo,pid,dog,token,createTime,pwdExpire,pwdDepth,interval) values
  (3,'viewer','x','',3,'11110000','6274',datetime('now','localtime'),datetime('now','localtime'),'1',600),
  (4,'lapsed','x','',1,'33333333','6274',datetime('now','localtime'),datetime('now','localtime'),'1',600);
create temp table odd as select
  cast(X'22275C3C623E26616D703B3C2F623E01097FE280A8E280A95AC3BC72696368F09F9880FFFE' as text) as t;
update user2 set memo=(select t from odd), email=(select t from odd) where id=2;
insert into dog2 (id,uid,nm,sm,code,frame,status,usrstatus,type2,serialUserID)
  select 7,'S2B0000007',t,0,500,10,1,0,1,-1 from odd;
insert into log2 (id,user,time,ip,type,typeSub,typeSubCN,sth)
  select null,'admin','2026-01-02 03:04:05','10.0.0.1','user','updUser','update user',t from odd
  union all select null,t,'2026-01-02 03:04:06',t,'ips','updIPS',t,t from odd;
drop table odd;
-- "lapsed" is locked out now, the lock of "viewer" has run out, "ghost" is
-- no user and its row is due to go.
insert into userLock (f_id,f_datetime,f_userName,f_wrongTimes) values
  (null,datetime('now','localtime'),'lapsed',3),
  (null,datetime('now','-1 hour','localtime'),'viewer',3),
  (null,datetime('now','-2 hours','localtime'),'ghost',1);
-- The seeded list kind 2 enforces neither list.
insert into ips2(ip) values('10.9.8.7');
insert into iplist values(134744072,0);
