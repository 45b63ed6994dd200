#!/usr/bin/env python3
"""Many transfers, orders and redemptions for one user at once, through the host
simulator: the books must balance exactly whatever the interleaving.

  check.py [--wine] HOST PLUGIN

Starts at 1000 points; 8 threads pay 1 yuan at 100 points per yuan 25 times
each (+20000); 4 threads order a 10-point product 25 times each (-1000); 4
threads send one 100-point card key 10 times each (+100, once). The final
balance must be 20100, with every transfer accepted, every order forwarded and
the key credited exactly once."""
import json
import os
import shutil
import subprocess
import sys
import tempfile

args = sys.argv[1:]
wine = False
if args and args[0] == '--wine':
    wine = True
    args = args[1:]
host, plugin = args
if not os.path.exists(host) or (wine and not os.path.exists(plugin)):
    print('check.py: skipped: not built', file=sys.stderr)
    sys.exit(77)

R = 'wxid_bot'
U = 'wxid_c'
work = tempfile.mkdtemp(prefix='quorvel-concurrency.')
try:
    d = os.path.join(work, 'dir')
    os.mkdir(d)
    import sqlite3
    db = sqlite3.connect(os.path.join(d, 'tovu.db'))
    db.executescript('''
CREATE TABLE yhxx(wxid TEXT,name TEXT,jf TEXT,zt TEXT,yqm TEXT);
CREATE TABLE kmxx(km TEXT,mr TEXT,zt TEXT,wxid TEXT,name TEXT);
CREATE TABLE spxx(spid TEXT,spmc TEXT,spjg TEXT,xcxbs TEXT,yqmcs TEXT,cgbs TEXT,sbbs TEXT,yqmz TEXT,yqmy TEXT,wxid TEXT,zt TEXT);
CREATE TABLE 订单列表(微信id TEXT,微信昵称 TEXT,订单名称 TEXT,订单价格 TEXT,邀请码 TEXT,状态 TEXT,时间 TEXT);
INSERT INTO yhxx(wxid,name,jf) VALUES('wxid_c','C','1000');
INSERT INTO spxx VALUES('1','P','10','pages/p','code','ok','bad','[',']','wxid_f','开启');
INSERT INTO kmxx(km,mr,zt) VALUES('TOVUconcurrent01','100','未使用');
''')
    db.commit()
    db.close()
    with open(os.path.join(d, 'cfg.ini'), 'wb') as f:
        f.write('[配置]\r\n积分比例=100\r\n自动收款=真\r\n自动回复_订单开始=ok\r\n'.encode('gbk'))

    if wine:
        dir_text = 'Z:' + d.replace('/', '\\') + '\\'
    else:
        dir_text = d + '/'
    transfer = {"call": "EventReceivedTransfer",
                "args": [R, U, "C", R, "1", '{"is_arrived":1,"is_received":0}']}
    order = {"call": "EventFriendMsg",
             "args": [R, 2002, U, "C", "", "", "<pagepath>pages/p?code=K1</pagepath>", "m", ""]}
    redeem = {"call": "EventFriendMsg", "args": [R, 1, U, "C", "", "", "TOVUconcurrent01", "m", ""]}
    query = {"call": "EventFriendMsg", "args": [R, 1, U, "C", "", "", "查询", "m", ""]}
    lines = [{"call": "LoadingInfo", "args": [1]}, {"call": "EventInit", "args": [dir_text]},
             {"call": "EventEnable", "args": []},
             {"concurrent": [transfer] * 8 + [order] * 4, "repeat": 25},
             {"concurrent": [redeem] * 4 + [transfer] * 4, "repeat": 10},
             query]
    session = os.path.join(work, 'session.jsonl')
    with open(session, 'w', encoding='utf-8') as f:
        for line in lines:
            f.write(json.dumps(line, ensure_ascii=False) + '\n')
    if wine:
        env = dict(os.environ, WINEDEBUG='-all')
        env.setdefault('WINEPREFIX', os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', '..', 'build', 'wineprefix'))
        cmd = [os.environ.get('WINE', '/usr/lib/wine/wine64'), host, '--plugin', 'Z:' + os.path.abspath(plugin).replace('/', '\\'),
               '--jsonl', 'Z:' + session.replace('/', '\\')]
    else:
        env = os.environ
        cmd = [host, '--plugin', plugin, '--jsonl', session]
    out = subprocess.run(cmd, capture_output=True, env=env, timeout=600)
    if out.returncode != 0:
        print(out.stderr.decode('utf-8', 'replace'), file=sys.stderr)
        sys.exit(1)
    records = [json.loads(l) for l in out.stdout.decode('utf-8').splitlines() if l.strip()]
    api = [r for r in records if 'api' in r]
    texts = [r['args'][2] for r in api if r['api'] == 'Api_SendTextMsg']

    def count(pred):
        return sum(1 for r in api if pred(r))

    checks = [
        ('transfers accepted', count(lambda r: r['api'] == 'Api_AcceptTransfer'), 8 * 25 + 4 * 10),
        ('orders forwarded', count(lambda r: r['api'] == 'Api_SendMiniAppMsg'), 4 * 25),
        ('order confirmations', texts.count('ok'), 4 * 25),
        ('key credited', sum(1 for t in texts if t.startswith('卡密充值成功')), 1),
        ('key refused', texts.count('卡密已被使用！'), 4 * 10 - 1),
        ('final balance', texts[-1], '您的积分为:%d' % (1000 + 240 * 100 - 100 * 10 + 100)),
    ]
    failed = [c for c in checks if c[1] != c[2]]
    for name, actual, expected in checks:
        print('%-20s %s (expected %s)' % (name, actual, expected))
    db = sqlite3.connect(os.path.join(d, 'tovu.db'))
    orders = db.execute('SELECT count(*) FROM 订单列表').fetchone()[0]
    print('%-20s %s (expected %s)' % ('order rows', orders, 100))
    if orders != 100:
        failed.append('order rows')
    sys.exit(1 if failed else 0)
finally:
    shutil.rmtree(work, ignore_errors=True)
