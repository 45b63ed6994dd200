CREATE TABLE yhxx(wxid TEXT,name TEXT,jf TEXT,zt TEXT,yqm TEXT);
CREATE TABLE kmxx(km TEXT,mr TEXT,zt TEXT,wxid TEXT,name TEXT);
CREATE TABLE spxx(spid TEXT,spmc TEXT,spjg TEXT,xcxbs TEXT,yqmcs TEXT,cgbs TEXT,sbbs TEXT,yqmz TEXT,yqmy TEXT,wxid TEXT,zt TEXT);
CREATE TABLE 订单列表(微信id TEXT,微信昵称 TEXT,订单名称 TEXT,订单价格 TEXT,邀请码 TEXT,状态 TEXT,时间 TEXT);
INSERT INTO yhxx(wxid,name,jf) VALUES('wxid_u1','Alice','100');
INSERT INTO kmxx(km,mr,zt) VALUES('TOVUnull00000001','50','未使用');
INSERT INTO spxx VALUES('1','P','3','pages/p','code','ok','bad','[',']','wxid_f','开启');
