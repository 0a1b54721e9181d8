-- The configuration a device leaves the factory with: normal (client) mode, no
-- IP list, one group and one account, the administrator admin / admin, and the
-- eight free console slots. No console module is known yet; modules appear as
-- the switch daemon reports them.
--
-- The password is the same on every device, so f_firstLogin is 1: until the
-- administrator has set a new password, the program refuses every call but
-- that password change, a refresh and logging out. The password is stored as
-- its bcrypt hash at the default cost.

INSERT INTO server2 (uid, nm, encrypt, ip, gateway, subnetMask, portKM, portV, portWeb, temp, humid)
VALUES ('', 'korvan', 0,
        1677830336, -- 192.168.1.100
        16885952,   -- 192.168.1.1
        16777215,   -- 255.255.255.0
        5900, 5901, 80, 0, 0);

INSERT INTO other2 (factoryMode, ipsType) VALUES (0, 2);

INSERT INTO secureConf (f_pwd, f_ntpServer, f_snmpServer, f_firstLogin, f_language)
VALUES ('{"pwdTry":3,"pwdExpire":90}', '', '', 1, 'en');

INSERT INTO priv2 (id, level, nm, type, dog) VALUES (1, 3, 'Administrators', 0, '33333333');

INSERT INTO user2 (id, nm, pw, memo, pid, dog, token, status, expireTime, loginTime, loginTime2,
                   createTime, pwdExpire, pwdDepth, timezone, interval, code, frame, media, prior)
VALUES (1, 'admin', '$2b$10$WKrAMisMH3WcP9DZ126k3.mHgIK7ux8qde6vvJvrralzG/C0H2obO', 'built-in administrator', 1, '33333333', '6274', 0, 0, '', '',
        datetime('now', 'localtime'), datetime('now', 'localtime'), '1', 0, 600, '0', '3', '2', 2);

-- Console slots: free slots carry their own id as uid and name.
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (1, 0, '1', '1');
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (2, 0, '2', '2');
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (3, 0, '3', '3');
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (4, 0, '4', '4');
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (5, 0, '5', '5');
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (6, 0, '6', '6');
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (7, 0, '7', '7');
INSERT INTO dogInfo2 (id, setted, uid, nm) VALUES (8, 0, '8', '8');
