-- A usable development configuration: normal (client) mode, no IP list, three
-- user groups, the administrator account admin / admin, eight free console
-- slots and a few console modules of each kind. Passwords are stored as
-- bcrypt hashes at the test suites' cost (4); the first login at the cost in
-- force replaces them.

INSERT INTO server2 (uid, nm, encrypt, ip, gateway, subnetMask, portKM, portV, portWeb, temp, humid)
VALUES ('KV-0001', 'korvan-dev', 0,
        16777343,   -- 127.0.0.1
        16777343,   -- 127.0.0.1
        16777215,   -- 255.255.255.0
        5900, 5901, 8080, 235, 412);

INSERT INTO other2 (factoryMode, ipsType) VALUES (0, 2);

INSERT INTO secureConf (f_pwd, f_ntpServer, f_snmpServer, f_firstLogin, f_language)
VALUES ('{"pwdTry":3,"pwdExpire":90}', 'pool.ntp.example', '', 0, 'en');

INSERT INTO priv2 (id, level, nm, type, dog) VALUES (1, 3, 'Administrators', 0, '33333333');
INSERT INTO priv2 (id, level, nm, type, dog) VALUES (2, 2, 'Operators', 1, '33331111');
INSERT INTO priv2 (id, level, nm, type, dog) VALUES (3, 1, 'Viewers', 2, '11110000');

INSERT INTO user2 (id, nm, pw, memo, pid, dog, token, status, expireTime, loginTime, loginTime2,
                   createTime, pwdExpire, pwdDepth, timezone, interval, code, frame, media, prior)
VALUES (1, 'admin', '$2b$04$itz.m50wQcQDqbpuMw.2H.p7bWos74MHj252iEjOEVEAb7AKpF/rC', 'built-in administrator', 1, '33333333', '6274', 0, 0, '', '',
        datetime('now', 'localtime'), datetime('now', 'localtime'), '1', 0, 600, '0', '3', '2', 2);
INSERT INTO user2 (id, nm, pw, memo, pid, dog, token, status, expireTime, loginTime, loginTime2,
                   createTime, pwdExpire, pwdDepth, timezone, interval, code, frame, media, prior)
VALUES (2, 'operator', '$2b$04$IbiAUOfQccwISDfg2pCL6.8vuOFjSTcXjG3cQ.rYElT7rDdbuikQq', 'shift operator', 2, '33331111', '6274', 0, 0, '', '',
        datetime('now', 'localtime'), datetime('now', 'localtime'), '1', 0, 600, '1', '2', '1', 1);

-- Console slots: free slots carry their own id as uid and name.
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (1, 0, '1', '1');
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (2, 0, '2', '2');
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (3, 0, '3', '3');
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (4, 0, '4', '4');
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (5, 0, '5', '5');
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (6, 0, '6', '6');
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (7, 0, '7', '7');
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (8, 0, '8', '8');

-- Console modules: the second character of uid is the kind
-- (1 usb, 2 serial, 3 virtual media).
INSERT INTO dog2 (id, uid, nm, sm, code, frame, status, usrstatus, type2, serialUserID)
VALUES (1, 'U1A0000001', 'web-01', 0, 1000, 30, 1, 0, 0, -1);
INSERT INTO dog2 (id, uid, nm, sm, code, frame, status, usrstatus, type2, serialUserID)
VALUES (2, 'U1A0000002', 'db-01', 1, 1500, 25, 1, 1, 0, -1);
INSERT INTO dog2 (id, uid, nm, sm, code, frame, status, usrstatus, type2, serialUserID)
VALUES (3, 'S2B0000003', 'router-console', 0, 500, 10, 1, 0, 1, -1);
INSERT INTO dog2 (id, uid, nm, sm, code, frame, status, usrstatus, type2, serialUserID)
VALUES (4, 'S2B0000004', 'switch-console', 0, 500, 10, 0, 0, 1, -1);
INSERT INTO dog2 (id, uid, nm, sm, code, frame, status, usrstatus, type2, serialUserID)
VALUES (5, 'V3C0000005', 'install-media', 2, 2000, 35, 1, 0, 0, -1);
INSERT INTO dog2 (id, uid, nm, sm, code, frame, status, usrstatus, type2, serialUserID)
VALUES (6, 'V3C0000006', 'rescue-media', 0, 1000, 15, 0, 0, 0, -1);
