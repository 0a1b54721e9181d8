-- Configuration database of the switch. The program never alters a table and
-- creates none but loginStranger, loginMinute and logBound (and the indexes
-- below) in a database that lacks them: the device ships this file. The
-- program carries this text too: a database upload is rebuilt from it, and
-- only its rows are kept.
-- Ids assigned by the database are INTEGER PRIMARY KEY (inserted as null).

CREATE TABLE user2 (
  id INTEGER PRIMARY KEY,
  nm TEXT UNIQUE,
  pw TEXT,
  memo TEXT,
  pid INTEGER,
  dog TEXT,
  token TEXT,
  status INTEGER DEFAULT 0,
  expireTime INTEGER DEFAULT 0,
  loginTime TEXT DEFAULT '',
  loginTime2 TEXT DEFAULT '',
  createTime TEXT DEFAULT '',
  pwdExpire TEXT DEFAULT '',
  pwdDepth TEXT DEFAULT '',
  timezone INTEGER DEFAULT 0,
  interval INTEGER DEFAULT 0,
  code TEXT DEFAULT '0',
  frame TEXT DEFAULT '0',
  media TEXT DEFAULT '0',
  prior INTEGER DEFAULT 0,
  nm2 TEXT DEFAULT '',
  addrH TEXT DEFAULT '',
  addrC TEXT DEFAULT '',
  phone TEXT DEFAULT '',
  email TEXT DEFAULT '',
  memo2 TEXT DEFAULT '',
  -- The session's client address (set at login) and its last request that
  -- extended it (epoch seconds).
  loginIP TEXT DEFAULT '',
  lastRequest INTEGER DEFAULT 0,
  -- The second factor (auth/second_factor.h): the seeds sealed with the
  -- device key, and the last step accepted.
  totpSecret TEXT DEFAULT '',
  totpPending TEXT DEFAULT '',
  totpStep INTEGER DEFAULT 0
);

CREATE TABLE priv2 (
  id INTEGER PRIMARY KEY,
  level INTEGER,
  nm TEXT UNIQUE,
  type INTEGER DEFAULT 0,
  dog TEXT
);

CREATE TABLE dog2 (
  id INTEGER PRIMARY KEY,
  uid TEXT,
  nm TEXT UNIQUE,
  sm INTEGER DEFAULT 0,
  code INTEGER DEFAULT 1000,
  frame INTEGER DEFAULT 30,
  status INTEGER DEFAULT 0,
  usrstatus INTEGER DEFAULT 0,
  type2 INTEGER DEFAULT 0,
  serialUserID INTEGER DEFAULT -1,
  -- Who was granted the last KVM session on the module, and when (local
  -- date-time text).
  kvmUser TEXT DEFAULT '',
  kvmTime TEXT DEFAULT ''
);

CREATE TABLE dogInfo2 (
  id INTEGER PRIMARY KEY,
  setted INTEGER DEFAULT 0,
  uid TEXT,
  nm TEXT,
  group2 TEXT DEFAULT ' ',
  pos1 TEXT DEFAULT ' ',
  pos2 TEXT DEFAULT ' ',
  depart TEXT DEFAULT ' ',
  memo TEXT DEFAULT ' '
);
-- A module's slot is looked up by uid on every refresh.
CREATE INDEX dogInfo2_uid ON dogInfo2(uid);

CREATE TABLE server2 (
  uid TEXT,
  nm TEXT,
  encrypt INTEGER,
  ip INTEGER,
  gateway INTEGER,
  subnetMask INTEGER,
  portKM INTEGER,
  portV INTEGER,
  portWeb INTEGER,
  temp INTEGER DEFAULT 0,
  humid INTEGER DEFAULT 0
);

CREATE TABLE other2 (
  factoryMode INTEGER,
  ipsType INTEGER
);

CREATE TABLE secureConf (
  f_pwd TEXT,
  f_ntpServer TEXT,
  f_snmpServer TEXT,
  f_firstLogin INTEGER,
  f_language TEXT
);

-- Read with "select *": the column order matters.
CREATE TABLE userLock (
  f_id INTEGER PRIMARY KEY,
  f_datetime TEXT,
  f_userName TEXT,
  f_wrongTimes INTEGER
);

CREATE TABLE log2 (
  id INTEGER PRIMARY KEY,
  user TEXT,
  time TEXT,
  ip TEXT,
  type TEXT,
  typeSub TEXT,
  typeSubCN TEXT,
  sth TEXT
);

-- The failure records are looked up by type and time, and removed first
-- when the log is trimmed.
CREATE INDEX log2_typeSub_time ON log2(typeSub, time);

-- The ids up to the newest log record that hold no record, as the last count
-- of the log found them (one row): the log's size without counting it.
CREATE TABLE logBound (
  f_missing INTEGER
);

-- Failed logins of names that are no user beyond the records of a minute, per
-- client address: the time of its latest such failure (epoch seconds) and how
-- many it made in that minute. Only the current minute's addresses are kept,
-- at most 10,000. The program makes this table when a database lacks it.
CREATE TABLE loginStranger (
  f_ip TEXT PRIMARY KEY,
  f_recorded INTEGER,
  f_count INTEGER
);
CREATE INDEX loginStranger_recorded ON loginStranger(f_recorded);

-- Failed logins of names that are no user in the current minute (one row):
-- its start (epoch seconds), the records written, the failures beyond them
-- and the addresses those came from.
CREATE TABLE loginMinute (
  f_minute INTEGER,
  f_recorded INTEGER,
  f_further INTEGER,
  f_addresses INTEGER
);

CREATE TABLE ips2 (
  ip TEXT
);

-- Rows are inserted by position: exactly these two columns, in this order.
CREATE TABLE iplist (
  ip INTEGER,
  reserved INTEGER
);

-- How the last packet exchange with the switch service went (one row, id 1):
-- when it ended (epoch seconds), whether a reply came, and "ok" or the
-- failure. Written with the records of the requests that talk to the service.
CREATE TABLE switchHealth (
  f_id INTEGER PRIMARY KEY,
  f_time INTEGER,
  f_answered INTEGER,
  f_outcome TEXT
);
