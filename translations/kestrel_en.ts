<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>kestrel::AccuracyTab</name>
    <message>
        <source>範囲を表示(&amp;V)</source>
        <translation>&amp;View range</translation>
    </message>
    <message>
        <source>全体を表示(&amp;E)</source>
        <translation>Show &amp;entire run</translation>
    </message>
    <message>
        <source>線形加速度法</source>
        <translation>Linear acceleration method</translation>
    </message>
    <message>
        <source>厳密解</source>
        <translation>Exact solution</translation>
    </message>
    <message>
        <source>平均加速度法</source>
        <translation>Average acceleration method</translation>
    </message>
    <message>
        <source>最大変位(cm)</source>
        <translation>Max. displacement (cm)</translation>
    </message>
    <message>
        <source>最大値の誤差(%)</source>
        <translation>Error of the max. (%)</translation>
    </message>
    <message>
        <source>安定限界 Δt/T</source>
        <translation>Stability limit Δt/T</translation>
    </message>
    <message>
        <source>周期の伸び(%)</source>
        <translation>Period elongation (%)</translation>
    </message>
    <message>
        <source>見かけの減衰定数(%)</source>
        <translation>Apparent damping ratio (%)</translation>
    </message>
    <message>
        <source>発散した時刻(s)</source>
        <translation>Time of divergence (s)</translation>
    </message>
    <message>
        <source>表示する時刻(s)(&amp;F)：</source>
        <translation>Show time (s) &amp;from:</translation>
    </message>
    <message>
        <source>～</source>
        <translation>to</translation>
    </message>
    <message>
        <source>（グラフ上を左右にドラッグして拡大、右クリックで縮小）</source>
        <translation>(drag across a chart to zoom in, right-click to zoom out)</translation>
    </message>
    <message>
        <source>表示 %1～%2 s</source>
        <translation>shown %1 to %2 s</translation>
    </message>
    <message>
        <source>平均加速度法 (Newmark β=1/4)</source>
        <translation>Average acceleration (β=1/4)</translation>
    </message>
    <message>
        <source>平均加速度法 − 厳密解</source>
        <translation>Average acceleration − exact</translation>
    </message>
    <message>
        <source>線形加速度法 − 厳密解</source>
        <translation>Linear acceleration − exact</translation>
    </message>
    <message>
        <source>時刻(s)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>相対変位(cm)</source>
        <translation>Relative displacement (cm)</translation>
    </message>
    <message>
        <source>誤差(cm)</source>
        <translation>Error (cm)</translation>
    </message>
    <message>
        <source>増大中</source>
        <translation>Growing</translation>
    </message>
    <message>
        <source>発散なし</source>
        <translation>No divergence</translation>
    </message>
    <message>
        <source>ω_n·Δt ≦ 2√3、すなわち Δt/T ≦ √3/π·√(1−h²) = %1 (h = %2 %)</source>
        <translation>ω_n·Δt ≤ 2√3, i.e. Δt/T ≤ √3/π·√(1−h²) = %1 (h = %2 %)</translation>
    </message>
    <message>
        <source>無条件安定</source>
        <translation>Unconditionally stable</translation>
    </message>
    <message>
        <source>不安定</source>
        <translation>Unstable</translation>
    </message>
    <message>
        <source>現在の Δt/T = %1%2</source>
        <translation>Current Δt/T = %1%2</translation>
    </message>
    <message>
        <source>時刻 %1 s&#x3000;線形加速度法 %2 cm&#x3000;厳密解 %3 cm&#x3000;平均加速度法 %4 cm&#x3000;誤差：線形 %5 cm、平均 %6 cm</source>
        <translation>Time %1 s   linear acceleration %2 cm   exact %3 cm   average acceleration %4 cm   error: linear %5 cm, average %6 cm</translation>
    </message>
    <message>
        <source>解法の精度</source>
        <translation>Accuracy of the methods</translation>
    </message>
    <message>
        <source>線形加速度法</source>
        <comment>legend</comment>
        <translation>Linear acceleration</translation>
    </message>
    <message>
        <source>厳密解</source>
        <comment>legend</comment>
        <translation>Exact</translation>
    </message>
</context>
<context>
    <name>kestrel::ChooserWindow</name>
    <message>
        <source>ファイル名(&amp;N)：</source>
        <translation>File &amp;name:</translation>
    </message>
    <message>
        <source>フォルダー「%1」を開けません。</source>
        <translation>The folder “%1” cannot be opened.</translation>
    </message>
    <message>
        <source>フォルダーを開けません</source>
        <translation>Folder cannot be opened</translation>
    </message>
    <message>
        <source>フロッピーディスクをセットして下さい。</source>
        <translation>Please insert a floppy disk.</translation>
    </message>
    <message>
        <source>フロッピー未搬入</source>
        <translation>No floppy disk</translation>
    </message>
    <message>
        <source>予期しないエラーが発生しました。強制終了します。</source>
        <translation>An unexpected error occurred. The program will stop.</translation>
    </message>
    <message>
        <source>強制終了</source>
        <translation>Fatal error</translation>
    </message>
</context>
<context>
    <name>kestrel::DriveList</name>
    <message>
        <source>%1 (ホーム)</source>
        <translation>%1 (home)</translation>
    </message>
</context>
<context>
    <name>kestrel::FileChoosers</name>
    <message>
        <source>地震波ファイルが選択されていません。</source>
        <translation>No earthquake record file has been chosen.</translation>
    </message>
    <message>
        <source>解析不能</source>
        <translation>Cannot analyse</translation>
    </message>
    <message>
        <source>分割時間を変更しないで下さい。</source>
        <translation>Do not change the time step.</translation>
    </message>
    <message>
        <source>分割時間変更禁止</source>
        <translation>Time step fixed</translation>
    </message>
    <message>
        <source>解析時間を %1 秒に設定しました。</source>
        <translation>The duration has been set to %1 s.</translation>
    </message>
    <message>
        <source>解析時間の設定</source>
        <translation>Duration set</translation>
    </message>
</context>
<context>
    <name>kestrel::FourierTab</name>
    <message>
        <source>平滑化 Parzen ウィンドウの幅(Hz)(&amp;W)：</source>
        <translation>Parzen smoothing &amp;window width (Hz):</translation>
    </message>
    <message>
        <source>（空欄または 0 で平滑化なし）</source>
        <translation>(blank or 0: no smoothing)</translation>
    </message>
    <message>
        <source>結果の検討</source>
        <translation>Study of results</translation>
    </message>
    <message>
        <source>平滑化 Parzen ウィンドウ %1 Hz</source>
        <translation>Parzen smoothing window %1 Hz</translation>
    </message>
    <message>
        <source>平滑化なし</source>
        <translation>no smoothing</translation>
    </message>
    <message>
        <source>フーリエ振幅</source>
        <translation>Fourier amplitude</translation>
    </message>
    <message>
        <source>平滑化 (Parzen %1 Hz)</source>
        <translation>Smoothed (Parzen %1 Hz)</translation>
    </message>
    <message>
        <source>伝達関数 |H(f)| (右軸)</source>
        <translation>Transfer function |H(f)| (right axis)</translation>
    </message>
    <message>
        <source>建物の非減衰固有振動数 1/T_n = %1 Hz</source>
        <translation>Building&apos;s undamped natural frequency 1/T_n = %1 Hz</translation>
    </message>
    <message>
        <source>建物：非減衰固有周期 T_n = %1 s (1/T_n = %2 Hz)、減衰固有周期 T_d = %3 s、h = %4 %</source>
        <translation>Building: undamped natural period T_n = %1 s (1/T_n = %2 Hz), damped natural period T_d = %3 s, h = %4 %</translation>
    </message>
    <message>
        <source>振動数(Hz)</source>
        <translation>Frequency (Hz)</translation>
    </message>
    <message>
        <source>フーリエ振幅(cm/s)</source>
        <translation>Fourier amplitude (cm/s)</translation>
    </message>
    <message>
        <source>伝達関数 |H(f)|</source>
        <translation>Transfer function |H(f)|</translation>
    </message>
    <message>
        <source>振動数 %1 Hz (周期 %2 s)&#x3000;振幅 %3 cm/s</source>
        <translation>Frequency %1 Hz (period %2 s)   amplitude %3 cm/s</translation>
    </message>
    <message>
        <source>&#x3000;平滑化 %1 cm/s</source>
        <translation>   smoothed %1 cm/s</translation>
    </message>
    <message>
        <source>&#x3000;|H| %1</source>
        <translation>   |H| %1</translation>
    </message>
    <message>
        <source>フーリエスペクトル</source>
        <translation>Fourier spectrum</translation>
    </message>
</context>
<context>
    <name>kestrel::IndicesTab</name>
    <message>
        <source>計測震度</source>
        <translation>JMA seismic
intensity</translation>
    </message>
    <message>
        <source>震度階級</source>
        <translation>JMA intensity
scale</translation>
    </message>
    <message>
        <source>計測震度
(3桁)</source>
        <translation>JMA seismic intensity
(3 decimals)</translation>
    </message>
    <message>
        <source>a
(cm/s2)</source>
        <translation>a
(cm/s2)</translation>
    </message>
    <message>
        <source>最大加速度
(cm/s2)</source>
        <translation>PGA
(cm/s2)</translation>
    </message>
    <message>
        <source>最大速度
(cm/s)</source>
        <translation>PGV
(cm/s)</translation>
    </message>
    <message>
        <source>最大変位
(cm)</source>
        <translation>PGD
(cm)</translation>
    </message>
    <message>
        <source>SI値
(cm/s)</source>
        <translation>SI
(cm/s)</translation>
    </message>
    <message>
        <source>アリアス強度
(m/s)</source>
        <translation>Arias intensity
(m/s)</translation>
    </message>
    <message>
        <source>有効継続時間
5-95%(s)</source>
        <translation>Significant duration
5-95% (s)</translation>
    </message>
    <message>
        <source>CAV
(cm/s)</source>
        <translation>CAV
(cm/s)</translation>
    </message>
    <message>
        <source>記録のファイル「%1」は解析の後で読めなくなったか変わったため、解析した記録の成分だけで求めました。</source>
        <translation>The record file “%1” could no longer be read or has changed since the analysis, so only the analysed component was used.</translation>
    </message>
    <message>
        <source>成分のファイルを指定(&amp;M)</source>
        <translation>Choose co&amp;mponent files</translation>
    </message>
    <message>
        <source>低域遮断周波数(Hz)(&amp;K)：</source>
        <translation>&amp;Low-cut frequency (Hz):</translation>
    </message>
    <message>
        <source>速度・変位を求める前に、加速度にかける 4 次バターワース・ハイパスフィルター（前後 2 回、位相ずれなし）の遮断周波数</source>
        <translation>Cut-off frequency of the 4th-order Butterworth high-pass filter applied to the acceleration before velocity and displacement are computed (forward and backward, no phase shift)</translation>
    </message>
    <message>
        <source>%1 成分のファイルを選ぶ</source>
        <translation>Choose the file of the %1 component</translation>
    </message>
    <message>
        <source>：</source>
        <translation>:</translation>
    </message>
    <message>
        <source>%1 成分のファイルの選択</source>
        <translation>File of the %1 component</translation>
    </message>
    <message>
        <source>結果の検討</source>
        <translation>Study of results</translation>
    </message>
    <message>
        <source>成分のファイルが選ばれていません。</source>
        <translation>No component file has been chosen.</translation>
    </message>
    <message>
        <source>ほかの成分のファイルは「成分のファイルを指定」で選べます。</source>
        <translation>The files of other components can be chosen with “Choose component files”.</translation>
    </message>
    <message>
        <source>地震波 %1, Δt = %2 s</source>
        <translation>Record %1, Δt = %2 s</translation>
    </message>
    <message>
        <source>速度・変位の低域遮断 %1 Hz</source>
        <translation>low-cut for velocity and displacement %1 Hz</translation>
    </message>
    <message>
        <source>時刻(s)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>加速度(cm/s2)</source>
        <translation>Acceleration (cm/s2)</translation>
    </message>
    <message>
        <source>速度(cm/s)</source>
        <translation>Velocity (cm/s)</translation>
    </message>
    <message>
        <source>変位(cm)</source>
        <translation>Displacement (cm)</translation>
    </message>
    <message>
        <source>5 %・95 %</source>
        <translation>5 % and 95 %</translation>
    </message>
    <message>
        <source>累積 Ia / Ia</source>
        <translation>Cumulative Ia / Ia</translation>
    </message>
    <message>
        <source>フィルター後</source>
        <translation>Filtered</translation>
    </message>
    <message>
        <source>a 以上</source>
        <translation>a or more</translation>
    </message>
    <message>
        <source>水平合成</source>
        <translation>Horizontal vector</translation>
    </message>
    <message>
        <source>周期(s) (h = 20 %)</source>
        <translation>Period (s) (h = 20 %)</translation>
    </message>
    <message>
        <source>周期 %1 s&#x3000;Sv</source>
        <translation>Period %1 s   Sv</translation>
    </message>
    <message>
        <source>&#x3000;%1 %2</source>
        <translation>   %1 %2</translation>
    </message>
    <message>
        <source>&#x3000;合成 %1</source>
        <translation>   vector %1</translation>
    </message>
    <message>
        <source>時刻 %1 s&#x3000;</source>
        <translation>Time %1 s   </translation>
    </message>
    <message>
        <source>&#x3000;</source>
        <translation>  </translation>
    </message>
    <message>
        <source>フィルター後の合成 %1 cm/s2（a = %2 cm/s2）</source>
        <translation>Filtered vector %1 cm/s2 (a = %2 cm/s2)</translation>
    </message>
    <message>
        <source>地震動の指標</source>
        <translation>Ground motion indices</translation>
    </message>
    <message>
        <source>計測震度と 3 成分合成の最大値：</source>
        <translation>JMA seismic intensity and peaks of the 3-component vector: </translation>
    </message>
    <message>
        <source>計測震度と合成の値：</source>
        <translation>JMA seismic intensity and combined values: </translation>
    </message>
    <message>
        <source>水平 2 成分合成の SI 値：</source>
        <translation>SI of the horizontal vector: </translation>
    </message>
    <message>
        <source>%1弱</source>
        <translation>%1 Lower</translation>
    </message>
    <message>
        <source>%1強</source>
        <translation>%1 Upper</translation>
    </message>
    <message>
        <source>合成</source>
        <translation>Combined</translation>
    </message>
</context>
<context>
    <name>kestrel::InelasticTab</name>
    <message>
        <source>バイリニア</source>
        <translation>Bilinear</translation>
    </message>
    <message>
        <source>劣化バイリニア (Clough)</source>
        <translation>Degrading bilinear (Clough)</translation>
    </message>
    <message>
        <source>原点指向型</source>
        <translation>Origin-oriented</translation>
    </message>
    <message>
        <source>弾性</source>
        <translation>Elastic</translation>
    </message>
    <message>
        <source>計算(&amp;A)</source>
        <translation>Comput&amp;e</translation>
    </message>
    <message>
        <source>弾塑性</source>
        <translation>Elastic-plastic</translation>
    </message>
    <message>
        <source>最大変位(cm)</source>
        <translation>Max. displacement (cm)</translation>
    </message>
    <message>
        <source>最大速度(cm/s)</source>
        <translation>Max. velocity (cm/s)</translation>
    </message>
    <message>
        <source>最大加速度(cm/s2)</source>
        <translation>Max. acceleration (cm/s2)</translation>
    </message>
    <message>
        <source>最大復元力(kN)</source>
        <translation>Max. restoring force (kN)</translation>
    </message>
    <message>
        <source>塑性率 μ</source>
        <translation>Ductility factor μ</translation>
    </message>
    <message>
        <source>最終変位(cm)</source>
        <translation>Final displacement (cm)</translation>
    </message>
    <message>
        <source>残留変形 δ−Q/K(cm)</source>
        <translation>Residual deformation δ−Q/K (cm)</translation>
    </message>
    <message>
        <source>累積塑性変形倍率 η</source>
        <translation>Cumulative plastic deformation ratio η</translation>
    </message>
    <message>
        <source>エネルギー収支の誤差(%)</source>
        <translation>Energy balance error (%)</translation>
    </message>
    <message>
        <source>再生(&amp;S)</source>
        <translation>P&amp;lay</translation>
    </message>
    <message>
        <source>時刻 327.65 s&#x3000;変位 -88.888 cm&#x3000;復元力 -8888.8 kN&#x3000;降伏中</source>
        <translation>Time 327.65 s  displacement -88.888 cm  restoring force -8888.8 kN  yielding</translation>
    </message>
    <message>
        <source>復元力特性(&amp;H)：</source>
        <translation>&amp;Hysteresis model:</translation>
    </message>
    <message>
        <source>降伏せん断力係数 Cy(&amp;Y)：</source>
        <translation>&amp;Yield base-shear coefficient Cy:</translation>
    </message>
    <message>
        <source>第2剛性比 p(&amp;R)：</source>
        <translation>Post-yield stiffness &amp;ratio p:</translation>
    </message>
    <message>
        <source>結果の検討</source>
        <translation>Study of the results</translation>
    </message>
    <message>
        <source>Qy = %1 kN、δy = %2 cm</source>
        <translation>Qy = %1 kN, δy = %2 cm</translation>
    </message>
    <message>
        <source>復元力特性 %1, Cy = %2, p = %3</source>
        <translation>hysteresis model %1, Cy = %2, p = %3</translation>
    </message>
    <message>
        <source>時刻 %1 s まで</source>
        <translation>up to %1 s</translation>
    </message>
    <message>
        <source>弾性（解析結果）</source>
        <translation>Elastic (the run)</translation>
    </message>
    <message>
        <source>弾塑性（%1）</source>
        <translation>Elastic-plastic (%1)</translation>
    </message>
    <message>
        <source>骨格曲線</source>
        <translation>Skeleton curve</translation>
    </message>
    <message>
        <source>±δy = ±%1 cm</source>
        <translation>±δy = ±%1 cm</translation>
    </message>
    <message>
        <source>履歴曲線</source>
        <translation>Hysteresis loop</translation>
    </message>
    <message>
        <source>E_H 履歴</source>
        <translation>E_H hysteretic</translation>
    </message>
    <message>
        <source>E_D 減衰</source>
        <translation>E_D damping</translation>
    </message>
    <message>
        <source>E_K+E_S 運動+ひずみ</source>
        <translation>E_K+E_S kinetic+strain</translation>
    </message>
    <message>
        <source>E_I 入力</source>
        <translation>E_I input</translation>
    </message>
    <message>
        <source>時刻(s)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>相対変位(cm)</source>
        <translation>Relative displacement (cm)</translation>
    </message>
    <message>
        <source>変位 δ(cm)</source>
        <translation>Displacement δ (cm)</translation>
    </message>
    <message>
        <source>復元力 Q(kN)</source>
        <translation>Restoring force Q (kN)</translation>
    </message>
    <message>
        <source>エネルギー(kN・cm)</source>
        <translation>Energy (kN·cm)</translation>
    </message>
    <message>
        <source>—</source>
        <translation>—</translation>
    </message>
    <message>
        <source>弾性応答の最大変位 / δy</source>
        <translation>Max. displacement of the elastic response / δy</translation>
    </message>
    <message>
        <source>時刻 %1 s&#x3000;変位 %2 cm&#x3000;復元力 %3 kN%4</source>
        <translation>Time %1 s  displacement %2 cm  restoring force %3 kN%4</translation>
    </message>
    <message>
        <source>&#x3000;降伏中</source>
        <translation>  yielding</translation>
    </message>
    <message>
        <source>停止(&amp;S)</source>
        <translation>S&amp;top</translation>
    </message>
    <message>
        <source>時刻 %1 s&#x3000;変位：弾性 %2 cm、弾塑性 %3 cm&#x3000;E_I %4、E_K+E_S %5、E_D %6、E_H %7 kN・cm</source>
        <translation>Time %1 s  displacement: elastic %2 cm, elastic-plastic %3 cm  E_I %4, E_K+E_S %5, E_D %6, E_H %7 kN·cm</translation>
    </message>
    <message>
        <source>弾塑性応答</source>
        <translation>Elastic-plastic response</translation>
    </message>
</context>
<context>
    <name>kestrel::MainWindow</name>
    <message>
        <source>Kestrel(線形加速度法)</source>
        <translation>Kestrel (linear acceleration method)</translation>
    </message>
    <message>
        <source>終了しました。</source>
        <translation>Finished.</translation>
    </message>
    <message>
        <source>解析終了</source>
        <translation>Analysis finished</translation>
    </message>
    <message>
        <source>固有周期の計算エラー</source>
        <translation>Natural period error</translation>
    </message>
    <message>
        <source>解析エラー</source>
        <translation>Analysis error</translation>
    </message>
    <message>
        <source>保存できる解析結果がありません。
「解析開始」で解析を終えてから保存して下さい。</source>
        <translation>There are no results to save.
Complete an analysis with “Analyse” first, then save.</translation>
    </message>
    <message>
        <source>データの保存</source>
        <translation>Save data</translation>
    </message>
    <message>
        <source>保存先が選択されていません</source>
        <translation>No destination has been chosen</translation>
    </message>
    <message>
        <source>このファイルは別のソフトで開いています。ファイルを閉じてください。</source>
        <translation>This file is open in another program. Please close it.</translation>
    </message>
    <message>
        <source>ファイルの起動状態</source>
        <translation>File in use</translation>
    </message>
    <message>
        <source>保存終了しました。</source>
        <translation>Saved.</translation>
    </message>
    <message>
        <source>終了しますか？</source>
        <translation>Exit the program?</translation>
    </message>
    <message>
        <source>プログラムの終了</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>kestrel::PictureWindow</name>
    <message>
        <source>動画、グラフ表示</source>
        <translation>Animation and graphs</translation>
    </message>
    <message>
        <source>強制終了(&amp;X)</source>
        <translation>&amp;Stop</translation>
    </message>
    <message>
        <source>入力加速度</source>
        <translation>Input accel.</translation>
    </message>
    <message>
        <source>ﾌﾟﾗｽ最大値</source>
        <translation>Max (+)</translation>
    </message>
    <message>
        <source>ﾏｲﾅｽ最大値</source>
        <translation>Max (-)</translation>
    </message>
    <message>
        <source>応答加速度</source>
        <translation>Resp. accel.</translation>
    </message>
    <message>
        <source>応答速度</source>
        <translation>Velocity</translation>
    </message>
    <message>
        <source>応答変位</source>
        <translation>Displacement</translation>
    </message>
    <message>
        <source>現時刻の解析結果の値</source>
        <translation>Values at the current time</translation>
    </message>
    <message>
        <source>時刻(s)：</source>
        <translation>Time (s):</translation>
    </message>
    <message>
        <source>入力加速度(cm/s2)</source>
        <translation>Input acc.(cm/s2)</translation>
    </message>
    <message>
        <source>応答加速度(cm/s2)</source>
        <translation>Resp. acc.(cm/s2)</translation>
    </message>
    <message>
        <source>応答速度(cm/s)</source>
        <translation>Velocity (cm/s)</translation>
    </message>
    <message>
        <source>応答変位(cm)</source>
        <translation>Displacement(cm)</translation>
    </message>
    <message>
        <source>建物固有周期(s)：</source>
        <translation>Period T_d (s):</translation>
    </message>
    <message>
        <source>入力変位</source>
        <translation>Input displ.</translation>
    </message>
    <message>
        <source>入力変位(cm)</source>
        <translation>Input displ.(cm)</translation>
    </message>
    <message>
        <source>建物固有周期(s)：</source>
        <comment>long form</comment>
        <translation>The building&apos;s damped natural period T_d (s)</translation>
    </message>
    <message>
        <source>応答加速度</source>
        <comment>long form</comment>
        <translation>Response acceleration</translation>
    </message>
    <message>
        <source>応答加速度(cm/s2)</source>
        <comment>long form</comment>
        <translation>Response acceleration (cm/s2)</translation>
    </message>
</context>
<context>
    <name>kestrel::PlaybackController</name>
    <message>
        <source>終了しました。</source>
        <translation>Finished.</translation>
    </message>
    <message>
        <source>解析終了</source>
        <translation>Analysis finished</translation>
    </message>
    <message>
        <source>動画表示エラー</source>
        <translation>Playback error</translation>
    </message>
    <message>
        <source>終了します。</source>
        <translation>Stop the playback?</translation>
    </message>
    <message>
        <source>強制終了</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>kestrel::RunForm</name>
    <message>
        <source>初期設定</source>
        <translation>Model and time</translation>
    </message>
    <message>
        <source>剛性(kN/㎝)：</source>
        <translation>Stiff.(kN/cm):</translation>
    </message>
    <message>
        <source>質量(kg)：</source>
        <translation>Mass (kg):</translation>
    </message>
    <message>
        <source>減衰定数(%)：</source>
        <translation>Damping (%):</translation>
    </message>
    <message>
        <source>分割時間(s)：</source>
        <translation>Time step (s):</translation>
    </message>
    <message>
        <source>解析時間(s)：</source>
        <translation>Duration (s):</translation>
    </message>
    <message>
        <source>外力選択</source>
        <translation>Excitation</translation>
    </message>
    <message>
        <source>初期変位(㎝)</source>
        <translation>Init. displ. (cm)</translation>
    </message>
    <message>
        <source>初期速度(㎝/s)</source>
        <translation>Init. vel. (cm/s)</translation>
    </message>
    <message>
        <source>定常波(加速度)固有周期(s)</source>
        <translation>Sine accel. period (s)</translation>
    </message>
    <message>
        <source>地震波</source>
        <translation>Earthquake record</translation>
    </message>
    <message>
        <source>定常波(変位)固有周期(s)</source>
        <translation>Sine displ. period (s)</translation>
    </message>
    <message>
        <source>定常波最大値(cm/s2)：</source>
        <translation>Sine amplitude (cm/s2):</translation>
    </message>
    <message>
        <source>定常波最大値(cm)：</source>
        <translation>Sine amplitude (cm):</translation>
    </message>
    <message>
        <source>地震波選択</source>
        <translation>Choose record</translation>
    </message>
    <message>
        <source>建物固有周期(s)：</source>
        <translation>Period T_d (s):</translation>
    </message>
    <message>
        <source>動画表示</source>
        <translation>Animation</translation>
    </message>
    <message>
        <source>固有周期の表示</source>
        <translation>Show period</translation>
    </message>
    <message>
        <source>解析開始(&amp;A)</source>
        <translation>&amp;Analyse</translation>
    </message>
    <message>
        <source>保存先選択(&amp;C)</source>
        <translation>&amp;Choose file</translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>結果の検討(&amp;R)</source>
        <translation>Study &amp;results</translation>
    </message>
    <message>
        <source>剛性(kN/㎝)：</source>
        <comment>long form</comment>
        <translation>Stiffness (kN/cm)</translation>
    </message>
    <message>
        <source>減衰定数(%)：</source>
        <comment>long form</comment>
        <translation>Damping ratio (%)</translation>
    </message>
    <message>
        <source>解析時間(s)：</source>
        <comment>long form</comment>
        <translation>Analysis duration (s)</translation>
    </message>
    <message>
        <source>初期変位(㎝)</source>
        <comment>long form</comment>
        <translation>Initial displacement (cm)</translation>
    </message>
    <message>
        <source>初期速度(㎝/s)</source>
        <comment>long form</comment>
        <translation>Initial velocity (cm/s)</translation>
    </message>
    <message>
        <source>定常波(加速度)固有周期(s)</source>
        <comment>long form</comment>
        <translation>Sine ground acceleration: its period (s), the forcing period, not the building&apos;s</translation>
    </message>
    <message>
        <source>定常波(変位)固有周期(s)</source>
        <comment>long form</comment>
        <translation>Sine ground displacement: its period (s), the forcing period, not the building&apos;s</translation>
    </message>
    <message>
        <source>建物固有周期(s)：</source>
        <comment>long form</comment>
        <translation>The building&apos;s damped natural period T_d (s)</translation>
    </message>
    <message>
        <source>固有周期の表示</source>
        <comment>long form</comment>
        <translation>Show the building&apos;s damped natural period</translation>
    </message>
</context>
<context>
    <name>kestrel::SaveSelectWindow</name>
    <message>
        <source>保存先選択</source>
        <translation>Choose where to save</translation>
    </message>
    <message>
        <source>選択する(&amp;Y)</source>
        <translation>&amp;Select</translation>
    </message>
    <message>
        <source>選択しない(&amp;N)</source>
        <translation>&amp;Cancel</translation>
    </message>
</context>
<context>
    <name>kestrel::SpectrumTab</name>
    <message>
        <source>Sd 相対変位</source>
        <translation>Sd relative displacement</translation>
    </message>
    <message>
        <source>Sd 相対変位(cm)</source>
        <translation>Sd relative displacement (cm)</translation>
    </message>
    <message>
        <source>Sv 相対速度</source>
        <translation>Sv relative velocity</translation>
    </message>
    <message>
        <source>Sv 相対速度(cm/s)</source>
        <translation>Sv relative velocity (cm/s)</translation>
    </message>
    <message>
        <source>Sa 絶対加速度</source>
        <translation>Sa absolute acceleration</translation>
    </message>
    <message>
        <source>Sa 絶対加速度(cm/s2)</source>
        <translation>Sa absolute acceleration (cm/s2)</translation>
    </message>
    <message>
        <source>pSv 擬似速度 ωSd</source>
        <translation>pSv pseudo-spectral velocity ωSd</translation>
    </message>
    <message>
        <source>pSv 擬似速度(cm/s)</source>
        <translation>pSv pseudo-spectral velocity (cm/s)</translation>
    </message>
    <message>
        <source>pSa 擬似加速度 ω²Sd</source>
        <translation>pSa pseudo-spectral acceleration ω²Sd</translation>
    </message>
    <message>
        <source>pSa 擬似加速度(cm/s2)</source>
        <translation>pSa pseudo-spectral acceleration (cm/s2)</translation>
    </message>
    <message>
        <source>周期を対数軸(&amp;L)</source>
        <translation>&amp;Log period axis</translation>
    </message>
    <message>
        <source>値を対数軸(&amp;O)</source>
        <translation>L&amp;og value axis</translation>
    </message>
    <message>
        <source>周期(s)(&amp;T)：</source>
        <translation>Pe&amp;riod (s):</translation>
    </message>
    <message>
        <source>～</source>
        <translation>to</translation>
    </message>
    <message>
        <source>点数(&amp;N)：</source>
        <translation>&amp;Number of points:</translation>
    </message>
    <message>
        <source>減衰定数(%)(&amp;D)：</source>
        <translation>&amp;Damping ratios (%):</translation>
    </message>
    <message>
        <source>表示する量(&amp;Q)：</source>
        <translation>&amp;Quantity:</translation>
    </message>
    <message>
        <source>結果の検討</source>
        <translation>Study of results</translation>
    </message>
    <message>
        <source>周期 %1～%2 s (%3 点), 減衰定数 h = %4 %</source>
        <translation>period %1 to %2 s (%3 points), damping ratio h = %4 %</translation>
    </message>
    <message>
        <source> (建物)</source>
        <translation> (building)</translation>
    </message>
    <message>
        <source>建物の応答の最大値 (線形加速度法)</source>
        <translation>Building&apos;s peak response (linear acceleration method)</translation>
    </message>
    <message>
        <source>建物の非減衰固有周期 T_n = %1 s</source>
        <translation>Building&apos;s undamped natural period T_n = %1 s</translation>
    </message>
    <message>
        <source>周期(s)</source>
        <translation>Period (s)</translation>
    </message>
    <message>
        <source>周期 %1 s</source>
        <translation>Period %1 s</translation>
    </message>
    <message>
        <source>&#x3000;h=%1%: %2</source>
        <translation>   h=%1%: %2</translation>
    </message>
    <message>
        <source>建物固有周期を計算できないため、建物の印はありません。</source>
        <translation>The building&apos;s natural period cannot be computed, so the building is not marked.</translation>
    </message>
    <message>
        <source>
建物の応答を計算できません。</source>
        <translation>
The building&apos;s response cannot be computed.</translation>
    </message>
    <message>
        <source>%1 %2 / %3 %4 (差 %5%6%7)</source>
        <translation>%1 %2 / %3 %4 (difference %5%6%7)</translation>
    </message>
    <message>
        <source>&#x3000;&#x3000;</source>
        <translation>      </translation>
    </message>
    <message>
        <source>応答スペクトル</source>
        <translation>Response spectra</translation>
    </message>
    <message>
        <source>（記録 %1 s のうち解析した %2 s まで）</source>
        <translation> (over the %2 s analysed of the %1 s record)</translation>
    </message>
    <message>
        <source>建物 (非減衰固有周期 T_n = %1 s、減衰固有周期 T_d = %2 s、h = %3 %) のスペクトル値 / 時刻歴応答 (線形加速度法) の最大値%4：</source>
        <translation>Building (undamped natural period T_n = %1 s, damped natural period T_d = %2 s, h = %3 %): spectral value / peak of the time-history response (linear acceleration method)%4:</translation>
    </message>
</context>
<context>
    <name>kestrel::StrengthTab</name>
    <message>
        <source>所要耐力スペクトルを計算できません。
計算に必要なメモリまたはスレッドが足りません。</source>
        <translation>The required strength spectra cannot be computed.
There is not enough memory or there are not enough threads.</translation>
    </message>
    <message>
        <source>計算(&amp;A)</source>
        <translation>Comput&amp;e</translation>
    </message>
    <message>
        <source>中止(&amp;S)</source>
        <translation>S&amp;top</translation>
    </message>
    <message>
        <source>周期を対数軸(&amp;R)</source>
        <translation>Log pe&amp;riod axis</translation>
    </message>
    <message>
        <source>減衰定数(%)(&amp;H)：</source>
        <translation>Damping ratio (%) (&amp;H):</translation>
    </message>
    <message>
        <source>塑性率 μ(&amp;Y)：</source>
        <translation>Ductilit&amp;y factors μ:</translation>
    </message>
    <message>
        <source>第2剛性比 p(&amp;B)：</source>
        <translation>Post-yield stiffness ratio p (&amp;B):</translation>
    </message>
    <message>
        <source>周期(s)(&amp;I)：</source>
        <translation>Per&amp;iods (s):</translation>
    </message>
    <message>
        <source>～</source>
        <translation>–</translation>
    </message>
    <message>
        <source>点数(&amp;J)：</source>
        <translation>Points (&amp;J):</translation>
    </message>
    <message>
        <source>「再計算」で計算を中止しました。「計算」で計算し直して下さい。</source>
        <translation>Stopped by &quot;Recompute&quot;. Press &quot;Compute&quot; to compute again.</translation>
    </message>
    <message>
        <source>解析が変わったため、結果を消しました。「計算」で計算し直して下さい。</source>
        <translation>The run changed, so the results were cleared. Press &quot;Compute&quot; to compute again.</translation>
    </message>
    <message>
        <source>「計算」で計算します。</source>
        <translation>Press &quot;Compute&quot; to compute.</translation>
    </message>
    <message>
        <source>入力が変わったため、計算を中止しました。</source>
        <translation>An input changed, so the computation was stopped.</translation>
    </message>
    <message>
        <source>入力が変わったため、結果を消しました。「計算」で計算し直して下さい。</source>
        <translation>An input changed, so the results were cleared. Press &quot;Compute&quot; to compute again.</translation>
    </message>
    <message>
        <source>入力を確かめて下さい。</source>
        <translation>Check the inputs.</translation>
    </message>
    <message>
        <source>結果の検討</source>
        <translation>Study of the results</translation>
    </message>
    <message>
        <source>減衰定数 h = %1 %, 塑性率 μ = %2, 第2剛性比 p = %3, 周期 %4～%5 s (%6 点)</source>
        <translation>damping ratio h = %1 %, ductility factors μ = %2, post-yield stiffness ratio p = %3, periods %4–%5 s (%6 points)</translation>
    </message>
    <message>
        <source>所要耐力スペクトルを計算できません。
計算のためのスレッドを作れませんでした。</source>
        <translation>The required strength spectra cannot be computed.
A thread for the computation could not be made.</translation>
    </message>
    <message>
        <source>計算しています…</source>
        <translation>Computing…</translation>
    </message>
    <message>
        <source>計算を中止しました。</source>
        <translation>Computation stopped.</translation>
    </message>
    <message>
        <source>計算できませんでした。</source>
        <translation>Could not be computed.</translation>
    </message>
    <message>
        <source>周期(s)</source>
        <translation>Period (s)</translation>
    </message>
    <message>
        <source>μ=%1</source>
        <translation>μ=%1</translation>
    </message>
    <message>
        <source>降伏せん断力係数 Cy</source>
        <translation>Yield base-shear coefficient Cy</translation>
    </message>
    <message>
        <source>建物の降伏点</source>
        <translation>Building&apos;s yield point</translation>
    </message>
    <message>
        <source>強度低減係数 R</source>
        <translation>Strength reduction factor R</translation>
    </message>
    <message>
        <source>R = 1 (短周期)</source>
        <translation>R = 1 (short periods)</translation>
    </message>
    <message>
        <source>変位一定則 R = μ</source>
        <translation>Equal displacement R = μ</translation>
    </message>
    <message>
        <source>エネルギー一定則 R = √(2μ−1)</source>
        <translation>Equal energy R = √(2μ−1)</translation>
    </message>
    <message>
        <source>エネルギー入力 V_E(cm/s)</source>
        <translation>Energy input V_E (cm/s)</translation>
    </message>
    <message>
        <source>赤の破線：建物の非減衰固有周期 T_n = %1 s</source>
        <translation>Red dashed line: the building&apos;s undamped natural period T_n = %1 s</translation>
    </message>
    <message>
        <source>、赤の四角：建物の降伏点 Cy = %1, μ = %2 (弾塑性応答)</source>
        <translation>; red square: the building&apos;s yield point Cy = %1, μ = %2 (elastic-plastic response)</translation>
    </message>
    <message>
        <source>。</source>
        <translation>. </translation>
    </message>
    <message>
        <source>建物固有周期を計算できないため、建物の印はありません。</source>
        <translation>The building&apos;s natural period cannot be computed, so the building is not marked. </translation>
    </message>
    <message>
        <source>R の図の横線 (μ ごとの色)：破線は変位一定則 R = μ、点線はエネルギー一定則 R = √(2μ−1)、灰色の一点鎖線は短周期の R = 1。</source>
        <translation>Horizontal lines of the R chart (colour of each μ): dashed, the equal-displacement rule R = μ; dotted, the equal-energy rule R = √(2μ−1); grey dash-dot, R = 1 for short periods.</translation>
    </message>
    <message>
        <source>周期 %1 s&#x3000;%2</source>
        <translation>Period %1 s  %2</translation>
    </message>
    <message>
        <source>&#x3000;μ=%1: %2</source>
        <translation>  μ=%1: %2</translation>
    </message>
    <message>
        <source>所要耐力スペクトル</source>
        <translation>Required strength spectra</translation>
    </message>
</context>
<context>
    <name>kestrel::StudyTab</name>
    <message>
        <source>地震波 %1</source>
        <translation>Record %1</translation>
    </message>
    <message>
        <source>初期変位 %1 cm</source>
        <translation>Initial displacement %1 cm</translation>
    </message>
    <message>
        <source>初期速度 %1 cm/s</source>
        <translation>Initial velocity %1 cm/s</translation>
    </message>
    <message>
        <source>定常波(加速度) 周期 %1 s, 最大値 %2 cm/s2</source>
        <translation>Sine acceleration, period %1 s, amplitude %2 cm/s2</translation>
    </message>
    <message>
        <source>定常波(変位) 周期 %1 s, 最大値 %2 cm</source>
        <translation>Sine displacement, period %1 s, amplitude %2 cm</translation>
    </message>
    <message>
        <source>建物 K = %1 kN/cm, M = %2 kg, h = %3 %</source>
        <translation>Building K = %1 kN/cm, M = %2 kg, h = %3 %</translation>
    </message>
    <message>
        <source>初期変位</source>
        <translation>initial displacement</translation>
    </message>
    <message>
        <source>初期速度</source>
        <translation>initial velocity</translation>
    </message>
    <message>
        <source>定常波(加速度)</source>
        <translation>sine acceleration</translation>
    </message>
    <message>
        <source>定常波(変位)</source>
        <translation>sine displacement</translation>
    </message>
    <message>
        <source>地震波</source>
        <translation>earthquake record</translation>
    </message>
    <message>
        <source>この検討には地震波の記録が必要です。検討している解析（%1）には記録がありません。主画面で外力に「地震波」を選んで解析してから、「再計算」を押して下さい。</source>
        <translation>This study needs an earthquake record. The analysis studied (%1) has none. In the main window choose “Earthquake record” as the excitation, analyse, then press “Recompute”.</translation>
    </message>
    <message>
        <source> ／ </source>
        <translation> / </translation>
    </message>
</context>
<context>
    <name>kestrel::StudyWindow</name>
    <message>
        <source>結果の検討</source>
        <translation>Study of results</translation>
    </message>
    <message>
        <source>応答スペクトル</source>
        <translation>Response spectra</translation>
    </message>
    <message>
        <source>フーリエスペクトル</source>
        <translation>Fourier spectrum</translation>
    </message>
    <message>
        <source>解法の精度</source>
        <translation>Accuracy of the methods</translation>
    </message>
    <message>
        <source>地震動の指標</source>
        <translation>Ground motion indices</translation>
    </message>
    <message>
        <source>再計算(&amp;U)</source>
        <translation>Recomp&amp;ute</translation>
    </message>
    <message>
        <source>CSV 保存(&amp;C)...</source>
        <translation>Save &amp;CSV...</translation>
    </message>
    <message>
        <source>PNG 保存(&amp;P)...</source>
        <translation>Save &amp;PNG...</translation>
    </message>
    <message>
        <source>SVG 保存(&amp;G)...</source>
        <translation>Save SV&amp;G...</translation>
    </message>
    <message>
        <source>閉じる(&amp;X)</source>
        <translation>Clo&amp;se</translation>
    </message>
    <message>
        <source>検討できる解析結果がありません。
「解析開始」で解析してから開いて下さい。</source>
        <translation>There are no results to study.
Analyse with “Analyse” first, then open this window.</translation>
    </message>
    <message>
        <source>検討する解析：</source>
        <translation>Analysis studied: </translation>
    </message>
    <message>
        <source>主画面で新しく解析しました。ここに示すのはその前の解析です。「再計算」で新しい解析に切り替わります。</source>
        <translation>A new analysis has been made in the main window. This is the one before it; “Recompute” switches to the new one.</translation>
    </message>
    <message>
        <source>主画面には検討できる解析結果がありません（解析中か、解析できませんでした）。ここに示すのはその前の解析です。</source>
        <translation>The main window holds no results to study (an analysis is running or failed). This is the analysis before.</translation>
    </message>
    <message>
        <source>保存する計算結果がありません。</source>
        <translation>There are no results to save.</translation>
    </message>
    <message>
        <source>データの保存</source>
        <translation>Save data</translation>
    </message>
    <message>
        <source>CSV ファイルの保存</source>
        <translation>Save CSV file</translation>
    </message>
    <message>
        <source>CSV ファイル (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>PNG 画像の保存</source>
        <translation>Save PNG image</translation>
    </message>
    <message>
        <source>PNG 画像 (*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
    <message>
        <source>SVG 画像の保存</source>
        <translation>Save SVG image</translation>
    </message>
    <message>
        <source>SVG 画像 (*.svg)</source>
        <translation>SVG images (*.svg)</translation>
    </message>
    <message>
        <source>弾塑性応答</source>
        <translation>Elastic-plastic response</translation>
    </message>
    <message>
        <source>所要耐力スペクトル</source>
        <translation>Required strength spectra</translation>
    </message>
</context>
<context>
    <name>kestrel::SwayingBuilding</name>
    <message>
        <source>降伏中</source>
        <translation>Yielding</translation>
    </message>
</context>
<context>
    <name>kestrel::WaveSelectWindow</name>
    <message>
        <source>入力波選択</source>
        <translation>Choose earthquake record</translation>
    </message>
    <message>
        <source>選択する(&amp;Y)</source>
        <translation>&amp;Select</translation>
    </message>
</context>
</TS>
